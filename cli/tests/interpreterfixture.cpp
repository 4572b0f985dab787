#include "interpreterfixture.h"

#include <cstdlib>
#include <mutex>

#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/descriptors.h"

namespace knobtest {

namespace {

void Common(ParamDescriptor* d, eParam_t id, const char* idName, const char* name)
{
    d->SetParamID(id);
    d->SetParamIDName(idName);
    d->SetName(name);
}

} // namespace

void FillTestTable(DescriptorTable* table)
{
    table->clear();

    auto* level = new IntegerDescriptor;
    Common(level, kLevel, "eParamID_Level", "Output Level");
    level->SetParamType(eCParam_IntegerValue);
    level->SetMinValue(0);
    level->SetMaxValue(100);
    level->SetFactoryDefault(5);
    level->SetUnits("dB");
    level->SetPersistenceType(ePersist_Ephemeral);
    level->SetRegisterType(eUserRegister_Excluded);
    level->SetFactoryResetType(eFactoryReset_ColdHardOnly);
    level->AddClassName("volatile");
    level->AddClassName("readonly");
    level->AddDependentParamID(kMode);
    level->AddDependentParamID(kNoDescriptor);
    level->AddDependsOnParamID(kLabel);
    level->AddAttribute("ParamGroup", 3u);
    level->AddAttribute("DisplayType", 8u);
    level->AddAttribute("EnableParam", std::string("eParamID_Mode"));
    table->AddDescriptor(level);

    auto* mode = new EnumDescriptor;
    Common(mode, kMode, "eParamID_Mode", "Mode");
    mode->SetParamType(eCParam_EnumValue);
    mode->SetMinValue(1);
    mode->SetMaxValue(5);
    mode->SetFactoryDefault(1);
    mode->AddNameValuePair(5, "Off", nullptr, "");
    mode->AddNameValuePair(1, "Auto", nullptr, "");
    mode->AddNameValuePair(2, "Manual", nullptr, "");
    table->AddDescriptor(mode);

    auto* label = new StringDescriptor;
    Common(label, kLabel, "eParamID_Label", "Label");
    label->SetParamType(eCParam_StringValue);
    label->SetFactoryDefault("abc");
    table->AddDescriptor(label);

    auto* blob = new DataDescriptor;
    Common(blob, kBlob, "eParamID_Blob", "Blob");
    blob->SetParamType(eCParam_StringValue);
    table->AddDescriptor(blob);

    auto* gain = new DecimalDescriptor;
    Common(gain, kGain, "eParamID_Gain", "Gain");
    gain->SetParamType(eCParam_IntegerValue);
    gain->SetMaxValue(1000);
    gain->SetDisplayPrecision(1);
    gain->SetDecimalPrecision(2);
    table->AddDescriptor(gain);

    auto* odd = new ParamDescriptor;
    Common(odd, kOdd, "eParamID_Odd", "Odd");
    table->AddDescriptor(odd);
}

StreamCapture::StreamCapture() { _file = ::open_memstream(&_buffer, &_size); }

StreamCapture::~StreamCapture()
{
    std::fclose(_file);
    std::free(_buffer);
}

std::string StreamCapture::Take()
{
    ::flockfile(_file);
    std::fflush(_file);
    std::string text(_buffer + _taken, _size - _taken);
    _taken = _size;
    ::funlockfile(_file);
    return text;
}

std::string StreamCapture::All()
{
    ::flockfile(_file);
    std::fflush(_file);
    std::string text(_buffer, _size);
    ::funlockfile(_file);
    return text;
}

ParamDescriptor* ScriptedConfig::GetParamDescriptor(eParam_t id)
{
    return hidden.count(id) ? nullptr : _inner->GetParamDescriptor(id);
}

ParamDescriptor* ScriptedConfig::GetParamDescriptor(std::string idName)
{
    ParamDescriptor* d = _inner->GetParamDescriptor(idName);
    return d && hidden.count(d->GetParamID()) ? nullptr : d;
}

std::list<eParam_t>& ScriptedConfig::GetParamIDList()
{
    _ids = _inner->GetParamIDList();
    _ids.insert(_ids.end(), extraIds.begin(), extraIds.end());
    return _ids;
}

bool ScriptedConfig::SetIntegerValue(eParam_t id, int value)
{
    return !refuseSets && _inner->SetIntegerValue(id, value);
}

bool ScriptedConfig::SetStringValue(eParam_t id, std::string value)
{
    return !refuseSets && _inner->SetStringValue(id, value);
}

bool ScriptedConfig::SetDataValue(eParam_t id, std::string bytes)
{
    return !refuseSets && _inner->SetDataValue(id, bytes);
}

void InterpreterTest::SetUp()
{
    // Local stores live for the whole process; a fresh id per test.
    static std::mutex mutex;
    static eConfigID_t next = 20;
    {
        std::lock_guard<std::mutex> lock(mutex);
        _configID = next++;
    }
    ASSERT_LE(_configID, 255) << "more interpreter tests than local config ids";
    FillTestTable(DescriptorRegistry::GetDescriptorTable(_configID));
    _local = ConfigFactoryImpl::GetInstance()->CreateConfig("local://configid=" + std::to_string(_configID), "");
    ASSERT_NE(_local, nullptr);
    _config.reset(new ScriptedConfig(_local));
    ActiveConfig = _config.get();
    _knobctl.reset(new Knobctl(0, nullptr, _config.get(), _config.get(), _out.File(), _err.File()));
    _knobctl->SetExitHandler([this](int status) {
        EXPECT_EQ(status, 0);
        ++_exits;
    });
}

void InterpreterTest::TearDown()
{
    _knobctl.reset();
    ActiveConfig = nullptr;
    if (_other)
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(_other);
    if (_local)
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(_local);
}

CommandResult InterpreterTest::Run(const std::string& line)
{
    const int result = _knobctl->ExecuteCommand(line.c_str());
    return {result, _out.Take(), _err.Take()};
}

void InterpreterTest::Table(const std::vector<CommandRow>& rows)
{
    for (const CommandRow& row : rows) {
        SCOPED_TRACE("line: \"" + row.line + "\"");
        const CommandResult r = Run(row.line);
        EXPECT_EQ(r.result, row.result);
        EXPECT_EQ(r.out, row.out);
        EXPECT_EQ(r.err, row.err);
    }
}

Config* InterpreterTest::OtherClient()
{
    if (!_other)
        _other = ConfigFactoryImpl::GetInstance()->CreateConfig("local://configid=" + std::to_string(_configID), "");
    return _other;
}

} // namespace knobtest
