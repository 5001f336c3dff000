#include "history/store_location.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

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
    std::error_code error;
    if (std::filesystem::equivalent(path, location.target + std::string(companion), error) &&
        !error) {
      return true;
    }
  }
  return false;
}

Result<StoreLocation> ParseStoreLocation(std::string_view text) {
  if (text.empty()) return Failure{"the history store's name is empty"};
  for (const std::string_view scheme : kPostgresSchemes) {
    if (text.substr(0, scheme.size()) == scheme) {
      return StoreLocation{StoreKind::kPostgres, std::string(text), WithoutPassword(text)};
    }
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
