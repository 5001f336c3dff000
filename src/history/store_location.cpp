#include "history/store_location.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "archive/text_utf8.h"

namespace torv::history {
namespace {

constexpr std::string_view kSqlitePrefix = "sqlite:";
constexpr std::string_view kPostgresSchemes[] = {"postgresql://", "postgres://"};
constexpr std::string_view kDefaultFile = "torvdoc/history.sqlite3";
// An SQLite store is its file and the files SQLite keeps beside it.
constexpr std::string_view kSqliteCompanions[] = {"", "-wal", "-shm", "-journal"};

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

// Drops "password=..." from the query part (after '?'), parameter by parameter.
std::string WithoutPasswordParameter(std::string_view uri) {
  const std::size_t question = uri.find('?');
  if (question == std::string_view::npos) return std::string(uri);
  std::string kept(uri.substr(0, question));
  std::string_view rest = uri.substr(question + 1);
  char separator = '?';
  while (!rest.empty()) {
    const std::size_t amp = rest.find('&');
    const std::string_view parameter = rest.substr(0, amp);
    if (parameter.substr(0, 9) != "password=" && parameter != "password") {
      kept += separator;
      kept += parameter;
      separator = '&';
    }
    if (amp == std::string_view::npos) break;
    rest.remove_prefix(amp + 1);
  }
  return kept;
}

// "word:/...": an address of some scheme, never a file name.
bool HasScheme(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || text.substr(colon + 1, 1) != "/") {
    return false;
  }
  if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '.' || c == '-';
  });
}

// libpq's "key=value key=value" form: it starts with a word and "=".
bool IsConninfo(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  const std::size_t wordStart = i;
  while (i < text.size() && (std::isalpha(static_cast<unsigned char>(text[i])) || text[i] == '_')) {
    ++i;
  }
  if (i == wordStart || wordStart == std::string_view::npos) return false;
  i = text.find_first_not_of(' ', i);
  return i != std::string_view::npos && text[i] == '=';
}

// The key=value form without its password (quoted or not).
std::string ConninfoWithoutPassword(std::string_view text) {
  std::string kept;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = text.find_first_not_of(' ', i);
    if (start == std::string_view::npos) break;
    std::size_t end = text.find('=', start);
    if (end == std::string_view::npos) end = text.size();
    end = text.find_first_not_of(' ', end + 1);
    if (end != std::string_view::npos && text[end] == '\'') {
      for (++end; end < text.size() && text[end] != '\''; ++end) {
        if (text[end] == '\\') ++end;
      }
      ++end;
    } else if (end != std::string_view::npos) {
      end = text.find(' ', end);
    }
    end = std::min(end, text.size());
    const std::string_view pair = text.substr(start, end - start);
    const std::string_view key = pair.substr(0, pair.find_first_of(" ="));
    if (key != "password") kept += (kept.empty() ? "" : " ") + std::string(pair);
    i = end;
  }
  return kept;
}

}  // namespace

StoreEnvironment ProcessStoreEnvironment() {
  return {Variable("TORVDOC_DB"), Variable("XDG_DATA_HOME"), Variable("HOME")};
}

std::string WithoutPassword(std::string_view uri) {
  const std::size_t scheme = uri.find("://");
  if (scheme == std::string_view::npos) return WithoutPasswordParameter(uri);
  const std::size_t authorityStart = scheme + 3;
  const std::size_t authorityEnd = uri.find_first_of("/?", authorityStart);
  const std::string_view authority = uri.substr(
      authorityStart, authorityEnd == std::string_view::npos ? std::string_view::npos
                                                             : authorityEnd - authorityStart);
  // The user part ends at the last '@' of the authority; its password after ':'.
  const std::size_t at = authority.rfind('@');
  std::string result(uri.substr(0, authorityStart));
  if (at != std::string_view::npos) {
    const std::string_view userInfo = authority.substr(0, at);
    result += userInfo.substr(0, userInfo.find(':'));
    result += authority.substr(at);
  } else {
    result += authority;
  }
  if (authorityEnd != std::string_view::npos) result += uri.substr(authorityEnd);
  return WithoutPasswordParameter(result);
}

bool IsPartOfStore(const std::string& path, const StoreLocation& location) {
  if (location.kind != StoreKind::kSqlite) return false;
  for (const std::string_view companion : kSqliteCompanions) {
    const std::string part = location.target + std::string(companion);
    std::error_code error;
    if (std::filesystem::equivalent(path, part, error) && !error) return true;
    // A companion SQLite has not made yet is the store's all the same.
    std::error_code pathError;
    std::error_code partError;
    const std::filesystem::path canonicalPath = std::filesystem::weakly_canonical(path, pathError);
    const std::filesystem::path canonicalPart = std::filesystem::weakly_canonical(part, partError);
    if (!pathError && !partError && canonicalPath == canonicalPart) return true;
  }
  return false;
}

Result<StoreLocation> ParseStoreLocation(std::string_view text) {
  if (text.empty()) return Failure{"the history store's name is empty"};
  for (const std::string_view scheme : kPostgresSchemes) {
    if (EqualsIgnoringAsciiCase(text.substr(0, scheme.size()), scheme)) {
      // libpq knows its schemes in lower case only.
      const std::string uri = std::string(scheme) + std::string(text.substr(scheme.size()));
      return StoreLocation{StoreKind::kPostgres, uri, WithoutPassword(uri)};
    }
  }
  if (IsConninfo(text)) {
    return StoreLocation{StoreKind::kPostgres, std::string(text), ConninfoWithoutPassword(text)};
  }
  if (text.substr(0, kSqlitePrefix.size()) != kSqlitePrefix && HasScheme(text)) {
    return Failure{"\"" + WithoutPassword(text) +
                   "\" is no history store: a server is postgresql://..., a file is PATH or "
                   "sqlite:PATH"};
  }
  std::string path(text);
  if (text.substr(0, kSqlitePrefix.size()) == kSqlitePrefix) {
    path = std::string(text.substr(kSqlitePrefix.size()));
    if (path.empty()) return Failure{"the history store's name is empty"};
  }
  return StoreLocation{StoreKind::kSqlite, path, path};
}

Result<StoreLocation> ResolveStoreLocation(const std::optional<std::string>& dbOption,
                                           const StoreEnvironment& environment) {
  if (dbOption) return ParseStoreLocation(*dbOption);
  if (environment.torvdocDb && !environment.torvdocDb->empty()) {
    return ParseStoreLocation(*environment.torvdocDb);
  }
  // XDG_DATA_HOME must be an absolute path; freedesktop.org's base
  // directory rules have a relative one ignored.
  if (environment.xdgDataHome && !environment.xdgDataHome->empty() &&
      environment.xdgDataHome->front() == '/') {
    const std::string path = *environment.xdgDataHome + "/" + std::string(kDefaultFile);
    return StoreLocation{StoreKind::kSqlite, path, path};
  }
  if (environment.home && !environment.home->empty()) {
    const std::string path = *environment.home + "/.local/share/" + std::string(kDefaultFile);
    return StoreLocation{StoreKind::kSqlite, path, path};
  }
  return Failure{"no history store: give --db, or set TORVDOC_DB or HOME"};
}

}  // namespace torv::history
