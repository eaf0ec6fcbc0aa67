#include "store/postgresql_records.h"

#include <charconv>

#include "store/postgresql_connection.h"

namespace vkd::store::postgresql {

namespace {

// PostgreSQL's text holds no NUL character, which a barcode's 00 byte gives: the column
// holds U+FFFD there instead, and reading puts the NUL back wherever U+FFFD stands for a
// 00 byte (the text has one character per byte, so the n-th character is the n-th byte's).
constexpr std::string_view nul_stand_in = "\xEF\xBF\xBD";

std::string column_text(std::string_view text) {
  std::string column;
  column.reserve(text.size());
  for (const char c : text) {
    if (c == '\0') {
      column += nul_stand_in;
    } else {
      column += c;
    }
  }
  return column;
}

bool starts_character(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

std::string record_text(const std::string& column, const std::string& barcode) {
  if (column.find(nul_stand_in) == std::string::npos) return column;
  std::string text;
  std::size_t character = 0;
  for (std::size_t i = 0; i < column.size(); ++character) {
    std::size_t end = i + 1;
    while (end < column.size() && !starts_character(column[end])) ++end;
    const std::string_view one(column.data() + i, end - i);
    if (one == nul_stand_in && character < barcode.size() && barcode[character] == '\0') {
      text += '\0';
    } else {
      text += one;
    }
    i = end;
  }
  return text;
}

// COPY's text form: a backslash, a tab and the line ends escaped.
void add_copy_field(std::string& line, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\n':
        line += "\\n";
        break;
      case '\r':
        line += "\\r";
        break;
      default:
        line += c;
    }
  }
}

std::string bytes_of_bytea(const std::string& text) {
  if (!text.starts_with("\\x") || text.size() % 2 != 0) {
    throw StoreError(StoreError::Kind::failed, "the server answered bytes not in hex");
  }
  std::string bytes;
  for (std::size_t i = 2; i < text.size(); i += 2) {
    unsigned byte = 0;
    if (std::from_chars(text.data() + i, text.data() + i + 2, byte, 16).ptr != text.data() + i + 2) {
      throw StoreError(StoreError::Kind::failed, "the server answered bytes not in hex");
    }
    bytes += static_cast<char>(byte);
  }
  return bytes;
}

}  // namespace

std::string bytea_text(std::string_view bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text = "\\x";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
  }
  return text;
}

std::string copy_rows(std::int64_t batch, const std::vector<Record>& records) {
  std::string rows;
  rows.reserve(records.size() * 64);
  const std::string batch_field = std::to_string(batch) + "\t";
  for (const Record& record : records) {
    rows += batch_field;
    rows += std::to_string(record.position) + "\t\\";  // the backslash of bytea's \x, escaped
    rows += bytea_text(record.barcode) + "\t";
    add_copy_field(rows, column_text(record.text));
    rows += "\t" + std::to_string(record.code_type) + "\t";
    if (record.time) {
      add_copy_field(rows, *record.time);
    } else {
      rows += "\\N";
    }
    rows += "\t\\" + bytea_text(std::string_view(reinterpret_cast<const char*>(record.stamp.data()), 4)) + "\n";
  }
  return rows;
}

Record record_of(const PGresult* result, int row) {
  Record record;
  record.position = static_cast<std::int32_t>(number_field(result, row, 0));
  record.barcode = bytes_of_bytea(text_field(result, row, 1));
  record.text = record_text(text_field(result, row, 2), record.barcode);
  record.code_type = static_cast<std::uint8_t>(number_field(result, row, 3));
  record.time = field(result, row, 4);
  const std::string stamp = bytes_of_bytea(text_field(result, row, 5));
  if (stamp.size() != record.stamp.size()) throw StoreError(StoreError::Kind::failed, "a record's stamp is not 4 bytes");
  std::copy(stamp.begin(), stamp.end(), reinterpret_cast<char*>(record.stamp.data()));
  return record;
}

}  // namespace vkd::store::postgresql
