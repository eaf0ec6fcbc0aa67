#include <utility>

#include "sim/device.h"

namespace vkd::sim {

namespace {

// Parameter numbers and factory values of the simulated scanner; numbers not listed
// default to 0. The meanings only make the table read like a scanner's.
constexpr std::pair<std::uint8_t, std::uint8_t> factory_settings[] = {
    {0, 1},    // beep on a good read
    {1, 2},    // beep volume (0-3)
    {2, 3},    // beep tone
    {3, 1},    // good-read light
    {4, 0},    // vibrate
    {5, 10},   // minutes to power off
    {6, 1},    // keep the time stamp with each barcode
    {7, 0},    // refuse duplicate barcodes
    {8, 1},    // scan-key trigger
    {9, 5},    // read timeout, in seconds
    {10, 1},   // Code 39
    {11, 0},   // Code 39 full ASCII
    {12, 1},   // Code 128
    {13, 1},   // EAN-13
    {14, 1},   // EAN-8
    {15, 1},   // UPC-A
    {16, 1},   // UPC-E
    {17, 0},   // Interleaved 2 of 5
    {18, 0},   // Codabar
    {19, 0},   // Code 93
    {20, 0},   // GS1 DataBar
    {21, 1},   // transmit EAN/UPC check digit
    {22, 0},   // transmit Code 39 check digit
    {23, 4},   // minimum barcode length
    {24, 250}, // maximum barcode length
    {25, 1},   // serial speed (0 = 9600, 1 = 19200, 2 = 38400, 3 = 115200)
    {26, 0},   // data bits and parity
    {27, 1},   // real-time clock present
    {28, 0},   // ASCII transfer mode
    {29, 3},   // memory warning level
    {30, 0},   // keyboard layout
    {31, 1},   // battery saver
};

Parameters build() {
  Parameters table{};
  for (const auto& [number, value] : factory_settings) table[number] = value;
  return table;
}

}  // namespace

const Parameters& default_parameters() {
  static const Parameters table = build();
  return table;
}

}  // namespace vkd::sim
