/* Read-only data larger than the FLASH segment of the test memory map. */
__attribute__((used)) const char too_large[0x11000] = {1};
