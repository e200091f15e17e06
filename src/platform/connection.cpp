#include "platform/connection.h"

#include "platform/error.h"
#include "platform/odbc/odbc_backend.h"
#include "platform/odbc/odbc_connection_string.h"
#include "platform/sqlite/sqlite_backend.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

// The database engines this program has, by the provider a connection
// string names: SQLite files natively, SQL Server through the FreeTDS ODBC
// driver. A string that names no provider but an ODBC driver or data source
// goes to the driver manager as it is.
struct Provider {
  bool (*names)(std::string_view provider);
  std::unique_ptr<DatabaseBackend> (*open)(const std::map<std::string, std::string>& settings);
};

std::unique_ptr<DatabaseBackend> OpenSqlite(const std::map<std::string, std::string>& settings) {
  auto source = settings.find("data source");
  if (source == settings.end() || source->second.empty()) {
    throw Error(kBadConnectionString, "The connection string names no Data Source (the SQLite database file).");
  }
  return OpenSqliteBackend(source->second);
}

std::unique_ptr<DatabaseBackend> OpenSqlServer(const std::map<std::string, std::string>& settings) {
  return OpenOdbcBackend(SqlServerOdbcTarget(settings));
}

constexpr Provider kProviders[] = {
    {[](std::string_view name) { return EqualsIgnoreCase(name, "SQLite"); }, OpenSqlite},
    {IsSqlServerProvider, OpenSqlServer},
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

}  // namespace

std::map<std::string, std::string> ParseConnectionString(std::string_view text) {
  std::map<std::string, std::string> settings;
  size_t i = 0;
  while (i < text.size()) {
    const size_t equals = text.find('=', i);
    const size_t semicolon = text.find(';', i);
    if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
      // A part without a value.
      const size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
      const std::string key = Lower(TrimBlanks(text.substr(i, end - i)));
      if (!key.empty()) settings[key] = "";
      i = end + 1;
      continue;
    }
    const std::string key = Lower(TrimBlanks(text.substr(i, equals - i)));
    size_t at = equals + 1;
    while (at < text.size() && text[at] == ' ') ++at;
    std::string value;
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
      // A quoted value may hold ';' and '=': a doubled quote is one quote.
      const char quote = text[at++];
      while (at < text.size()) {
        if (text[at] == quote) {
          if (at + 1 < text.size() && text[at + 1] == quote) {
            value += quote;
            at += 2;
            continue;
          }
          ++at;
          break;
        }
        value += text[at++];
      }
      const size_t end = text.find(';', at);
      i = end == std::string_view::npos ? text.size() : end + 1;
    } else {
      const size_t end = text.find(';', at);
      value = std::string(TrimBlanks(text.substr(at, (end == std::string_view::npos ? text.size() : end) - at)));
      i = end == std::string_view::npos ? text.size() : end + 1;
    }
    if (!key.empty()) settings[key] = value;
  }
  return settings;
}

Connection::Connection() = default;
Connection::Connection(BackendWrapper wrap) : wrap_(std::move(wrap)) {}
Connection::~Connection() = default;

void Connection::AddBackendWrapper(BackendWrapper wrap) {
  if (!wrap_) {
    wrap_ = std::move(wrap);
    return;
  }
  wrap_ = [inner = std::move(wrap_), outer = std::move(wrap)](std::unique_ptr<DatabaseBackend> backend) {
    return outer(inner(std::move(backend)));
  };
}

void Connection::Open(std::string_view connectionString, std::string_view, std::string_view, int32_t) {
  if (backend_) throw Error(3705, "Operation is not allowed when the object is open.");
  if (!connectionString.empty()) ConnectionString = std::string(connectionString);
  const std::map<std::string, std::string> settings = ParseConnectionString(ConnectionString);
  auto named = settings.find("provider");
  const std::string provider = named == settings.end() ? "" : named->second;
  if (IsOdbcConnectionString(settings)) {
    std::unique_ptr<DatabaseBackend> backend = OpenOdbcBackend(PlainOdbcTarget(ConnectionString));
    backend_ = wrap_ ? wrap_(std::move(backend)) : std::move(backend);
    return;
  }
  for (const Provider& p : kProviders) {
    if (p.names(provider)) {
      std::unique_ptr<DatabaseBackend> backend = p.open(settings);
      backend_ = wrap_ ? wrap_(std::move(backend)) : std::move(backend);
      return;
    }
  }
  throw Error(3706, "Provider cannot be found. It may not be properly installed." +
                        (provider.empty() ? std::string(" (The connection string names no provider.)")
                                          : " (Provider: " + provider + ")"));
}

bool Connection::IsOpen() const { return backend_ != nullptr; }

void Connection::Close() {
  if (!backend_) throw Error::ObjectClosed();
  backend_.reset();
}

RecordsetPtr Connection::Execute(std::string_view commandText, int32_t options) {
  if (!backend_) throw Error::ObjectClosed();
  // -1 is "unspecified": a command that returns rows.
  const bool returnsRows = options == -1 || (options & kExecuteNoRecords) == 0;
  return backend_->Execute(commandText, returnsRows, CommandTimeout);
}

}  // namespace zelmora
