#include "platform/odbc/odbc_connection_string.h"

#include <optional>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

constexpr int32_t kDefaultPort = 1433;

Error Refused(const std::string& why) { return Error(kBadConnectionString, "The connection string cannot be used: " + why); }

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return out;
}

// The first of the keys (aliases of one setting) that the string gives.
std::optional<std::string> Setting(const std::map<std::string, std::string>& settings,
                                   std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    auto found = settings.find(key);
    if (found != settings.end()) return found->second;
  }
  return std::nullopt;
}

bool IsTrue(std::string_view value) {
  return EqualsIgnoreCase(value, "true") || EqualsIgnoreCase(value, "yes") || EqualsIgnoreCase(value, "sspi") ||
         EqualsIgnoreCase(value, "mandatory") || EqualsIgnoreCase(value, "strict") || value == "1";
}

// An ODBC attribute value; braces around one that holds a separator, a brace
// or blanks at its ends ("}" doubled inside them).
std::string OdbcValue(std::string_view value) {
  const bool plain = value.find_first_of(";{}") == std::string_view::npos &&
                     (value.empty() || (value.front() != ' ' && value.back() != ' '));
  if (plain) return std::string(value);
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

struct ServerAddress {
  std::string host;
  std::string instance;
  int32_t port = 0;
};

// "host", "host\instance", "host,port", "tcp:host,port", "." or "(local)".
ServerAddress ParseDataSource(std::string_view source) {
  std::string_view text = TrimBlanks(source);
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos && colon < 6) {
    const std::string protocol = Upper(text.substr(0, colon));
    if (protocol == "NP" || protocol == "LPC" || protocol == "ADMIN") {
      throw Refused("the Data Source '" + std::string(source) +
                    "' asks for named pipes, shared memory or the admin connection; only TCP reaches a server "
                    "from here (write the host name, or host,port).");
    }
    if (protocol == "TCP") text = TrimBlanks(text.substr(colon + 1));
  }
  ServerAddress address;
  const size_t comma = text.find(',');
  if (comma != std::string_view::npos) {
    const std::string_view port = TrimBlanks(text.substr(comma + 1));
    if (!IsDigits(port) || port.size() > 5 || std::stoi(std::string(port)) < 1 || std::stoi(std::string(port)) > 65535) {
      throw Refused("the port of the Data Source '" + std::string(source) + "' is not a number from 1 to 65535.");
    }
    address.port = std::stoi(std::string(port));
    text = TrimBlanks(text.substr(0, comma));
  }
  const size_t backslash = text.find('\\');
  std::string_view host = text;
  if (backslash != std::string_view::npos) {
    host = TrimBlanks(text.substr(0, backslash));
    address.instance = std::string(TrimBlanks(text.substr(backslash + 1)));
  }
  if (EqualsIgnoreCase(host, "(localdb)")) {
    throw Refused("LocalDB ('" + std::string(source) + "') runs only on Windows.");
  }
  if (host.empty()) throw Refused("the Data Source '" + std::string(source) + "' names no server.");
  address.host = host == "." || EqualsIgnoreCase(host, "(local)") ? "localhost" : std::string(host);
  // An explicit port is where the instance listens: no instance look-up then.
  if (address.port != 0) address.instance.clear();
  return address;
}

}  // namespace

bool IsSqlServerProvider(std::string_view provider) {
  std::string name = Upper(TrimBlanks(provider));
  // A version suffix: SQLOLEDB.1, SQLNCLI11.1.
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && IsDigits(std::string_view(name).substr(dot + 1))) name.resize(dot);
  if (name == "SQLOLEDB") return true;
  for (std::string_view family : {std::string_view("MSOLEDBSQL"), std::string_view("SQLNCLI")}) {
    if (name.rfind(family, 0) == 0) {
      const std::string_view version = std::string_view(name).substr(family.size());
      if (version.empty() || IsDigits(version)) return true;
    }
  }
  return false;
}

bool IsOdbcConnectionString(const std::map<std::string, std::string>& settings) {
  return settings.count("provider") == 0 && (settings.count("driver") != 0 || settings.count("dsn") != 0);
}

OdbcTarget SqlServerOdbcTarget(const std::map<std::string, std::string>& settings) {
  for (const char* key : {"integrated security", "trusted_connection"}) {
    auto found = settings.find(key);
    if (found != settings.end() && IsTrue(found->second)) {
      throw Refused("Integrated Security (Windows sign-in) is not available on this system; give the SQL Server "
                    "login in User ID and Password instead.");
    }
  }
  const std::optional<std::string> source =
      Setting(settings, {"data source", "server", "address", "addr", "network address"});
  if (!source || TrimBlanks(*source).empty()) throw Refused("it names no Data Source (the SQL Server host).");
  const ServerAddress address = ParseDataSource(*source);
  const std::optional<std::string> user = Setting(settings, {"user id", "uid", "user"});
  if (!user || user->empty()) {
    throw Refused("it names no User ID; a SQL Server login (User ID and Password) is needed on this system.");
  }

  OdbcTarget target;
  std::string& out = target.connectionString;
  out = "Driver=FreeTDS;Server=" + OdbcValue(address.instance.empty() ? address.host
                                                                        : address.host + "\\" + address.instance);
  if (address.instance.empty()) out += ";Port=" + std::to_string(address.port ? address.port : kDefaultPort);
  const std::optional<std::string> database = Setting(settings, {"initial catalog", "database"});
  if (database && !database->empty()) out += ";Database=" + OdbcValue(*database);
  out += ";UID=" + OdbcValue(*user);
  out += ";PWD=" + OdbcValue(Setting(settings, {"password", "pwd"}).value_or(""));
  out += ";TDS_Version=7.4";
  if (std::optional<std::string> workstation = Setting(settings, {"workstation id", "wsid"});
      workstation && !workstation->empty()) {
    out += ";WSID=" + OdbcValue(*workstation);
  }
  if (std::optional<std::string> encrypt = Setting(settings, {"encrypt", "use encryption for data"});
      encrypt && IsTrue(*encrypt)) {
    out += ";Encryption=require";
  }
  if (std::optional<std::string> timeout = Setting(settings, {"connect timeout", "connection timeout", "timeout"})) {
    const std::string_view value = TrimBlanks(*timeout);
    if (!IsDigits(value) || value.size() > 6) {
      throw Refused("Connect Timeout '" + *timeout + "' is not a number of seconds.");
    }
    target.loginTimeoutSeconds = std::stoi(std::string(value));
  }
  return target;
}

OdbcTarget PlainOdbcTarget(std::string_view connectionString) {
  OdbcTarget target;
  target.connectionString = std::string(connectionString);
  return target;
}

}  // namespace zelmora
