# 64-bit ARM receivers.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(BLINDSCAN_TRIPLE aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
