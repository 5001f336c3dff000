#include "history/postgres_connection.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <unordered_map>

namespace torv::history {
namespace {

// libpq's messages end in a line break and may span lines; a message of ours
// is one line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::string squeezed;
  for (char c : text) {
    if (c == ' ' && !squeezed.empty() && squeezed.back() == ' ') continue;
    squeezed += c;
  }
  return squeezed;
}

// Removes every occurrence of `secret` from `text`: a server or libpq may
// echo parts of the connection string.
std::string WithoutSecret(std::string text, const std::string& secret) {
  if (secret.empty()) return text;
  for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at)) {
    text.replace(at, secret.size(), "***");
  }
  return text;
}

class PostgresRow final : public SqlRow {
 public:
  PostgresRow(const PGresult* result, int row) : result_(result), row_(row) {}
  bool IsNull(int column) const override { return PQgetisnull(result_, row_, column) == 1; }
  std::int64_t Int(int column) const override {
    return std::strtoll(PQgetvalue(result_, row_, column), nullptr, 10);
  }
  std::string Text(int column) const override {
    return std::string(PQgetvalue(result_, row_, column),
                       static_cast<std::size_t>(PQgetlength(result_, row_, column)));
  }

 private:
  const PGresult* result_;
  int row_;
};

class ResultHolder {
 public:
  explicit ResultHolder(PGresult* result) : result_(result) {}
  ~ResultHolder() { PQclear(result_); }
  ResultHolder(const ResultHolder&) = delete;
  ResultHolder& operator=(const ResultHolder&) = delete;
  PGresult* get() const { return result_; }

 private:
  PGresult* result_;
};

class PostgresConnection final : public SqlConnection {
 public:
  PostgresConnection(PGconn* connection, std::string password)
      : connection_(connection), password_(std::move(password)) {}
  ~PostgresConnection() override { PQfinish(connection_); }
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  SqlDialect Dialect() const override { return SqlDialect::kPostgres; }

  Status Query(std::string_view sql, const std::vector<SqlValue>& parameters,
               const RowSink& sink) override {
    Result<std::string> name = Prepare(sql);
    if (!name) return name.failure();
    std::vector<std::string> texts(parameters.size());
    std::vector<const char*> values(parameters.size(), nullptr);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
      if (std::holds_alternative<std::int64_t>(parameters[i])) {
        texts[i] = std::to_string(std::get<std::int64_t>(parameters[i]));
        values[i] = texts[i].c_str();
      } else if (std::holds_alternative<std::string>(parameters[i])) {
        values[i] = std::get<std::string>(parameters[i]).c_str();
      }
    }
    const ResultHolder result(PQexecPrepared(connection_, name->c_str(),
                                             static_cast<int>(values.size()), values.data(),
                                             nullptr, nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return Error();
    if (sink) {
      const int rows = PQntuples(result.get());
      for (int row = 0; row < rows; ++row) sink(PostgresRow(result.get(), row));
    }
    return {};
  }

  Status ExecScript(std::string_view sql) override {
    const ResultHolder result(PQexec(connection_, std::string(sql).c_str()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return Error();
    return {};
  }

 private:
  Failure Error() const {
    return Failure{WithoutSecret(OneLine(PQerrorMessage(connection_)), password_)};
  }

  Result<std::string> Prepare(std::string_view sql) {
    const std::string key(sql);
    const auto found = statements_.find(key);
    if (found != statements_.end()) return found->second;
    if (statements_.size() >= kMaxPreparedStatements) {
      // The server keeps each one for the session until told otherwise.
      if (Status s = ExecScript("DEALLOCATE ALL"); !s) return s.failure();
      statements_.clear();
    }
    std::string name = "torvdoc_" + std::to_string(++preparedCount_);
    const ResultHolder result(PQprepare(connection_, name.c_str(), key.c_str(), 0, nullptr));
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) return Error();
    statements_.emplace(key, name);
    return name;
  }

  PGconn* connection_;
  std::string password_;
  std::unordered_map<std::string, std::string> statements_;
  std::int64_t preparedCount_ = 0;  // names are never used twice
};

// The password the URI gives, to keep it out of every message.
std::string PasswordOf(const std::string& uri) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(uri.c_str(), &error);
  PQfreemem(error);
  std::string password;
  if (options == nullptr) return password;
  for (PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (std::string_view(option->keyword) == "password" && option->val != nullptr) {
      password = option->val;
    }
  }
  PQconninfoFree(options);
  return password;
}

std::string OrDefault(const char* value, const char* fallback) {
  return value != nullptr && *value != '\0' ? value : fallback;
}

}  // namespace

Result<std::unique_ptr<SqlConnection>> OpenPostgres(const std::string& uri) {
  const std::string password = PasswordOf(uri);
  char* parseError = nullptr;
  PQconninfoOption* parsed = PQconninfoParse(uri.c_str(), &parseError);
  if (parsed == nullptr) {
    std::string reason = parseError != nullptr ? OneLine(parseError) : "not a valid URI";
    PQfreemem(parseError);
    return Failure{"not a valid PostgreSQL URI: " + WithoutSecret(reason, password)};
  }
  PQconninfoFree(parsed);

  PGconn* connection = PQconnectdb(uri.c_str());
  if (connection == nullptr)
    return Failure{"cannot connect to the PostgreSQL server: out of memory"};
  if (PQstatus(connection) != CONNECTION_OK) {
    // PQhost and PQdb answer from the connection options even after a failure.
    const std::string host = OrDefault(PQhost(connection), "(default host)");
    const std::string database = OrDefault(PQdb(connection), "(default database)");
    const std::string reason = WithoutSecret(OneLine(PQerrorMessage(connection)), password);
    PQfinish(connection);
    return Failure{"cannot connect to the PostgreSQL server on host " + host + ", database " +
                   database + ": " + reason};
  }
  // Notices (for example "relation already exists, skipping") are not ours to print.
  PQsetNoticeProcessor(
      connection, [](void*, const char*) {}, nullptr);
  auto result = std::make_unique<PostgresConnection>(connection, password);
  if (Status quiet = result->ExecScript("SET client_min_messages = warning"); !quiet) {
    return quiet.failure();
  }
  return std::unique_ptr<SqlConnection>(std::move(result));
}

}  // namespace torv::history
