# 32-bit little-endian MIPS receivers.
set(CMAKE_SYSTEM_PROCESSOR mipsel)
set(BLINDSCAN_TRIPLE mipsel-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
