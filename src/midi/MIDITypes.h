#pragma once

#include <vector>

typedef std::vector<unsigned char> midiMessage_t;
typedef unsigned char BYTE;
