// `synclumovcontrol info ... --json`: the state the text printouts show, as one JSON document with
// typed values (numbers as numbers, states as their names, MACs and ids as strings, times in
// ISO 8601), and what they leave out: every output, active or not, the orders each output was sent
// and how the data plane answered, and each peer's connection. The shape is fixed by the schema
// installed as /usr/share/sync-lumov-control/synclumovcontrol.schema.json; programs rely on it.
#ifndef SYNC_LUMOVCONTROL_INFODOCUMENT_H
#define SYNC_LUMOVCONTROL_INFODOCUMENT_H

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace Sync {
namespace LumovControl {

class Model;

class InfoDocument {
  public:
    // Raised whenever a field changes meaning or goes; new fields do not raise it.
    static constexpr int SCHEMA_VERSION = 1;

    // selection: "feature", "output", "ethernet" or "all", as for the text printout.
    static nlohmann::ordered_json build(Model& model, const std::string& selection);

    // What every answer starts with: schema version, command, daemon version, completion time.
    static nlohmann::ordered_json header(const char* command);
    // Each peer's connection state, since when, and its mailbox.
    static nlohmann::ordered_json peers();
    // A quality level as its number and its name.
    static nlohmann::ordered_json quality(uint32_t value);

  private:
    static nlohmann::ordered_json feature(Model& model);
    static nlohmann::ordered_json outputs(Model& model);
    static nlohmann::ordered_json ports(Model& model);
};

}  // namespace LumovControl
}  // namespace Sync

#endif
