# 32-bit ARM, hard float receivers.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(BLINDSCAN_TRIPLE arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
