#include "store/postgresql_location.h"

#include <charconv>
#include <regex>
#include <vector>

#include "store/store.h"

namespace vkd::store {

namespace {

constexpr std::string_view schemes[] = {"postgresql://", "postgres://"};

struct Parts {
  std::string scheme;     // "postgresql://"
  std::string authority;  // [user[:password]@]host[:port][,...]
  std::string path;       // "/dbname", or empty
  std::vector<std::string> parameters;  // "key=value", in order
};

Parts parts_of(const std::string& location) {
  Parts parts;
  for (const std::string_view scheme : schemes) {
    if (location.starts_with(scheme)) parts.scheme = scheme;
  }
  const std::size_t authority_end = location.find_first_of("/?", parts.scheme.size());
  parts.authority = location.substr(parts.scheme.size(), authority_end - parts.scheme.size());
  if (authority_end == std::string::npos) return parts;
  const std::size_t query = location.find('?', authority_end);
  parts.path = location.substr(authority_end, query - authority_end);
  if (query == std::string::npos) return parts;
  for (std::size_t start = query + 1; start <= location.size();) {
    const std::size_t end = std::min(location.find('&', start), location.size());
    if (end > start) parts.parameters.push_back(location.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string key_of(const std::string& parameter) { return parameter.substr(0, parameter.find('=')); }

std::string value_of(const std::string& parameter) {
  const std::size_t equals = parameter.find('=');
  return equals == std::string::npos ? std::string() : parameter.substr(equals + 1);
}

// As URIs escape their bytes: %XX, left as it is where no two hex digits follow.
std::string percent_decoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned byte = 0;
    if (text[i] == '%' && i + 2 < text.size() &&
        std::from_chars(text.data() + i + 1, text.data() + i + 3, byte, 16).ptr == text.data() + i + 3) {
      decoded += static_cast<char>(byte);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::string joined(const Parts& parts, const std::vector<std::string>& parameters) {
  std::string text = parts.scheme + parts.authority + parts.path;
  for (std::size_t i = 0; i < parameters.size(); ++i) text += (i == 0 ? "?" : "&") + parameters[i];
  return text;
}

}  // namespace

bool is_postgresql_location(const std::string& location) {
  for (const std::string_view scheme : schemes) {
    if (location.starts_with(scheme)) return true;
  }
  return false;
}

std::string redacted_location(const std::string& location) {
  std::string shown = location;
  const std::size_t authority = shown.find("://");
  if (authority != std::string::npos) {
    const std::size_t user = authority + 3;
    // The user part ends at the last "@": a password may hold an "@", "/" or "?" that its
    // writer did not encode, and hiding more than the password does no harm.
    const std::size_t at = shown.rfind('@');
    if (at != std::string::npos && at >= user) {
      const std::size_t colon = shown.find(':', user);
      if (colon < at) shown.replace(colon + 1, at - colon - 1, "***");
    }
  }
  static const std::regex parameter("([?&]password=)[^&#]*", std::regex::icase);
  return std::regex_replace(shown, parameter, "$1***");
}

PostgresqlLocation postgresql_location(const std::string& location) {
  const Parts parts = parts_of(location);
  PostgresqlLocation result{.uri = {}, .schema = default_postgresql_schema, .shown = redacted_location(location)};
  std::vector<std::string> for_libpq;
  for (const std::string& parameter : parts.parameters) {
    if (key_of(parameter) != "schema") {
      for_libpq.push_back(parameter);
      continue;
    }
    result.schema = percent_decoded(value_of(parameter));
    if (result.schema.empty()) {
      throw StoreError(StoreError::Kind::unusable, "store " + result.shown + ": the schema parameter needs a name");
    }
  }
  result.uri = joined(parts, for_libpq);
  return result;
}

}  // namespace vkd::store
