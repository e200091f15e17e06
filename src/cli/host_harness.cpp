#include "cli/host_harness.h"

#include <vector>

#include "cli/json_values.h"
#include "cli/json_writer.h"
#include "facade/class_factory.h"
#include "component/clsin_inputintra.h"
#include "facade/clsin_intrabo.h"
#include "component/clsin_ouputintra.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/text_file.h"
#include "platform/text_util.h"

namespace zelmora::cli {
namespace {

struct Call {
  std::string name;
  std::vector<Variant> args;
};

const char* const kObjectMembers[] = {"Stato",          "Errore",           "NumRecStpModIntra",
                                      "NumFileFloppy",  "PathFileIntraWeb", "FolderFileIntraWeb"};

const Json& ObjectAt(const Json& script, const char* key) {
  const Json& value = script[key];
  if (!value.is_object() || value.contains(kDecimalKey)) {
    throw ScriptError(std::string("\"") + key + "\" must be an object of properties");
  }
  return value;
}

// A property assignment the way a host makes it; a conversion the
// property refuses makes the script invalid.
void AssignProperty(Object& target, const std::string& where, const std::string& name, const Variant& value) {
  try {
    target.SetMember(name, value);
  } catch (const Error& error) {
    if (error.number() == 438) throw ScriptError(where + " has no property " + name);
    throw ScriptError(where + "." + name + ": " + error.description());
  }
}

ObjectPtr BuildDispatchTree(const Json& node, const std::string& where) {
  auto object = std::make_shared<DispatchObject>();
  for (const auto& [key, value] : node.items()) {
    const std::string path = where + "." + key;
    const bool isTree = value.is_object() && !(value.size() == 1 && (value.contains("date") || value.contains(kDecimalKey)));
    object->SetMember(key, isTree ? Variant::Obj(BuildDispatchTree(value, path)) : JsonToVariant(value, path));
  }
  return object;
}

std::vector<Call> ReadCalls(const Json& script) {
  std::vector<Call> calls;
  if (!script.contains("calls")) return calls;
  const Json& list = script["calls"];
  if (!list.is_array()) throw ScriptError("\"calls\" must be a list");
  for (const Json& item : list) {
    Call call;
    if (item.is_string()) {
      call.name = item.get<std::string>();
    } else if (item.is_object() && item.contains("call") && item["call"].is_string()) {
      call.name = item["call"].get<std::string>();
      for (const auto& [key, value] : item.items()) {
        if (key != "call" && key != "args") throw ScriptError("a call has no key \"" + key + "\"");
      }
      if (item.contains("args")) {
        if (!item["args"].is_array()) throw ScriptError("the args of " + call.name + " must be a list");
        for (const Json& arg : item["args"]) call.args.push_back(JsonToVariant(arg, call.name + " argument"));
      }
    } else {
      throw ScriptError("each call is an operation name or {\"call\": name, \"args\": [...]}");
    }
    // Checked before anything runs, so an invalid script changes nothing.
    const CLSIN_INTRABO::Operation* found = nullptr;
    for (const auto& operation : CLSIN_INTRABO::Operations()) {
      if (EqualsIgnoreCase(operation.name, call.name)) found = &operation;
    }
    if (!found) throw ScriptError("the business object has no operation " + call.name);
    const int count = static_cast<int>(call.args.size());
    if (count < found->minArgs || count > found->maxArgs) {
      throw ScriptError(call.name + " takes " + std::to_string(found->minArgs) +
                        (found->maxArgs != found->minArgs ? " to " + std::to_string(found->maxArgs) : "") +
                        " arguments, not " + std::to_string(count));
    }
    calls.push_back(std::move(call));
  }
  return calls;
}

void WriteProperties(JsonWriter& out, Object* object, const std::vector<std::string_view>& names) {
  if (!object) {
    out.Null();
    return;
  }
  out.BeginObject();
  for (std::string_view name : names) {
    out.Key(name);
    WriteVariant(out, object->GetMember(name));
  }
  out.EndObject();
}

void WritePrintJob(JsonWriter& out, const PrintJob& job) {
  out.BeginObject();
  out.Key("member");
  out.String(job.member);
  out.Key("calls");
  out.BeginArray();
  for (const PrintJob::Call& call : job.calls) {
    out.BeginObject();
    out.Key("call");
    out.String(call.name);
    out.Key("args");
    out.BeginArray();
    for (const Variant& arg : call.args) WriteVariant(out, arg);
    out.EndArray();
    out.EndObject();
  }
  out.EndArray();
  out.Key("formulas");
  out.BeginObject();
  for (const auto& [name, text] : job.formulas) {
    out.Key(name);
    out.String(text);
  }
  out.EndObject();
  out.Key("parameters");
  out.BeginObject();
  for (const auto& [name, value] : job.parameters) {
    out.Key(name);
    WriteVariant(out, value);
  }
  out.EndObject();
  out.Key("subreports");
  out.BeginObject();
  out.Key("declared");
  out.String(job.declaredSubreports);
  out.Key("bound");
  out.BeginObject();
  for (const auto& [name, recordset] : job.boundSubreports) {
    out.Key(name);
    WriteVariant(out, Variant::Obj(recordset));
  }
  out.EndObject();
  out.EndObject();
  out.Key("recordset");
  WriteVariant(out, Variant::Obj(job.recordset));
  out.Key("sql");
  out.String(job.sql);
  out.Key("printed");
  out.Boolean(job.printed);
  out.Key("released");
  out.Boolean(job.released);
  out.EndObject();
}

// A script read, checked and applied: the business object with its input,
// members, output presets and active interface set, and the calls to make.
struct PreparedScript {
  std::shared_ptr<CLSIN_INTRABO> object;
  std::vector<Call> calls;
};

PreparedScript Prepare(std::string_view scriptText, const std::shared_ptr<HostServices>& services) {
  const Json script = ParseScriptJson(scriptText);
  if (!script.is_object() || script.contains(kDecimalKey)) throw ScriptError("the script must be a JSON object");
  for (const auto& [key, value] : script.items()) {
    if (key != "CInput" && key != "object" && key != "COutput" && key != "ActiveInterface" && key != "calls") {
      throw ScriptError("unknown script key \"" + key + "\"");
    }
  }
  std::vector<Call> calls = ReadCalls(script);

  auto object = std::static_pointer_cast<CLSIN_INTRABO>(CreateObject("ZELMORA.CLSIN_INTRABO", services));
  if (script.contains("CInput")) {
    auto input = std::static_pointer_cast<CLSIN_INPUTINTRA>(CreateObject("ZELMORA.CLSIN_INPUTINTRA"));
    for (const auto& [name, value] : ObjectAt(script, "CInput").items()) {
      AssignProperty(*input, "CInput", name, JsonToVariant(value, "CInput." + name));
    }
    object->SetCInput(input);
  }
  if (script.contains("object")) {
    for (const auto& [name, value] : ObjectAt(script, "object").items()) {
      bool known = false;
      for (const char* member : kObjectMembers) known = known || EqualsIgnoreCase(member, name);
      if (!known) throw ScriptError("the business object has no settable member " + name);
      Variant converted = JsonToVariant(value, "object." + name);
      if (EqualsIgnoreCase(name, "FolderFileIntraWeb")) {
        // Given as a folder path; null is Nothing.
        converted = converted.IsNull() ? Variant::Obj(nullptr)
                                       : Variant::Obj(std::make_shared<Folder>(converted.ToString()));
      }
      AssignProperty(*object, "object", name, converted);
    }
  }
  if (script.contains("COutput")) {
    for (const auto& [name, value] : ObjectAt(script, "COutput").items()) {
      if (CLSIN_OUPUTINTRA::IsRecordsetProperty(name)) {
        throw ScriptError("COutput." + name + " holds a recordset and cannot be preset");
      }
      if (!object->COutput()) throw ScriptError("the business object has no output object");
      AssignProperty(*object->COutput(), "COutput", name, JsonToVariant(value, "COutput." + name));
    }
  }
  if (script.contains("ActiveInterface")) {
    object->SetActiveInterface(BuildDispatchTree(ObjectAt(script, "ActiveInterface"), "ActiveInterface"));
  }
  return {std::move(object), std::move(calls)};
}

}  // namespace

HarnessResult RunHostScript(std::string_view scriptText, std::shared_ptr<HostServices> services) {
  HarnessResult result;
  try {
    if (!services) services = std::make_shared<DefaultHostServices>();
    auto [object, calls] = Prepare(scriptText, services);

    JsonWriter out;
    out.BeginObject();
    out.Key("steps");
    out.BeginArray();
    for (Call call : calls) {
      Variant returned;
      try {
        returned = object->Invoke(call.name, call.args);
      } catch (const Error& error) {
        throw ScriptError(call.name + ": " + error.description());
      }
      out.BeginObject();
      out.Key("call");
      out.String(call.name);
      out.Key("Stato");
      WriteVariant(out, object->Stato());
      out.Key("Errore");
      WriteVariant(out, object->Errore());
      out.Key("result");
      if (returned.IsEmpty()) {
        out.Null();
      } else {
        WriteVariant(out, returned);
      }
      out.EndObject();
    }
    out.EndArray();
    out.Key("CInput");
    WriteProperties(out, object->CInput().get(), CLSIN_INPUTINTRA::PropertyNames());
    out.Key("COutput");
    WriteProperties(out, object->COutput().get(), CLSIN_OUPUTINTRA::PropertyNames());
    out.Key("object");
    out.BeginObject();
    for (const char* member : kObjectMembers) {
      out.Key(member);
      if (EqualsIgnoreCase(member, "FolderFileIntraWeb") && object->FolderFileIntraWeb()) {
        out.String(object->FolderFileIntraWeb()->path());
      } else {
        WriteVariant(out, object->GetMember(member));
      }
    }
    out.EndObject();
    // The business object is released before the print jobs are read, so
    // that what its destruction does to its report objects shows.
    object.reset();
    out.Key("print_jobs");
    out.BeginArray();
    for (const auto& job : services->PrintJobs()) WritePrintJob(out, *job);
    out.EndArray();
    out.EndObject();
    result.output = out.text() + "\n";
  } catch (const ScriptError& error) {
    result.exitCode = 2;
    result.output.clear();
    result.error = error.what();
  } catch (const Error& error) {
    result.exitCode = 2;
    result.output.clear();
    result.error = error.description();
  }
  return result;
}

HarnessResult ValidateHostScript(std::string_view scriptText) {
  HarnessResult result;
  try {
    Prepare(scriptText, std::make_shared<DefaultHostServices>());
  } catch (const ScriptError& error) {
    result.exitCode = 2;
    result.error = error.what();
  } catch (const Error& error) {
    result.exitCode = 2;
    result.error = error.description();
  }
  return result;
}

}  // namespace zelmora::cli
