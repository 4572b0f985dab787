// An interpreter on an in-process config of a small table that holds every
// descriptor kind, its output captured, and a config wrapper that can refuse
// sets or list ids without a descriptor.
#ifndef KNOBCTL_TEST_INTERPRETERFIXTURE_H
#define KNOBCTL_TEST_INTERPRETERFIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "knobctl.h"
#include "paramlink/config.h"

class DescriptorTable;

namespace knobtest {

const eParam_t kLevel = eParam_t(0x0A000100);    // integer, default 5, units "dB"
const eParam_t kMode = eParam_t(0x0A000101);     // enum 1 Auto, 2 Manual, 5 Off; default 1
const eParam_t kLabel = eParam_t(0x0A000102);    // string, default "abc"
const eParam_t kBlob = eParam_t(0x0A000103);     // data, no default bytes
const eParam_t kGain = eParam_t(0x0A000104);     // decimal, precision 2
const eParam_t kOdd = eParam_t(0x0A000105);      // plain descriptor of no value kind
const eParam_t kNoDescriptor = eParam_t(0x0A0009FF);

// Clears the table and adds the six test parameters.
void FillTestTable(DescriptorTable* table);

// Everything written to a stream, taken in pieces. Safe against writers on
// other threads.
class StreamCapture {
public:
    StreamCapture();
    ~StreamCapture();
    FILE* File() const { return _file; }
    // What was written since the last Take.
    std::string Take();
    // Everything written so far (does not move the Take mark).
    std::string All();

private:
    FILE* _file = nullptr;
    char* _buffer = nullptr;
    size_t _size = 0;
    size_t _taken = 0;
};

// A config in front of another that can refuse every set, list ids that
// have no descriptor, and hide descriptors.
class ScriptedConfig : public Config {
public:
    explicit ScriptedConfig(Config* inner) : _inner(inner) {}

    bool refuseSets = false;
    std::set<eParam_t> hidden;
    std::list<eParam_t> extraIds;

    ParamDescriptor* GetParamDescriptor(eParam_t id) override;
    ParamDescriptor* GetParamDescriptor(std::string idName) override;
    std::list<eParam_t>& GetParamIDList() override;
    bool SetIntegerValue(eParam_t id, int value) override;
    int GetIntegerValue(eParam_t id) override { return _inner->GetIntegerValue(id); }
    bool GetIntegerValue(eParam_t id, int& value) override { return _inner->GetIntegerValue(id, value); }
    bool SetStringValue(eParam_t id, std::string value) override;
    bool GetStringValue(eParam_t id, std::string& value) override { return _inner->GetStringValue(id, value); }
    bool GetDataValue(eParam_t id, std::string& bytes) override { return _inner->GetDataValue(id, bytes); }
    bool SetDataValue(eParam_t id, std::string bytes) override;
    bool AddEventListener(ConfigEventListener* listener) override { return _inner->AddEventListener(listener); }
    bool RemoveEventListener(ConfigEventListener* listener) override
    {
        return _inner->RemoveEventListener(listener);
    }
    eConfigID_t GetConfigID() const override { return _inner->GetConfigID(); }

private:
    Config* _inner;
    std::list<eParam_t> _ids;
};

struct CommandResult {
    int result;
    std::string out;
    std::string err;
};

// One line of a command table and what it must give.
struct CommandRow {
    std::string line;
    int result;
    std::string out;
    std::string err;
};

// Each test gets a config id of its own, so values set by one test never
// reach another.
class InterpreterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CommandResult Run(const std::string& line);
    // Runs the lines in order; each must give exactly its result and output
    // on both streams.
    void Table(const std::vector<CommandRow>& rows);
    // A second connection to the same store, for changes made by "another
    // client".
    Config* OtherClient();

    eConfigID_t _configID = 0;
    Config* _local = nullptr;
    Config* _other = nullptr;
    std::unique_ptr<ScriptedConfig> _config;
    StreamCapture _out;
    StreamCapture _err;
    std::unique_ptr<Knobctl> _knobctl;
    int _exits = 0;
};

} // namespace knobtest

#endif
