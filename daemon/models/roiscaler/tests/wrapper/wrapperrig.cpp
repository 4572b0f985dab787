#include "wrapperrig.h"

#include "registry.h"

const int kScalerTypes[4] = {kHestra, kMardex, kPendro, kQuastel};

const char* ModelName(int type)
{
    switch (type) {
    case kHestra:
        return "Hestra";
    case kMardex:
        return "Mardex";
    case kPendro:
        return "Pendro";
    case kQuastel:
        return "Quastel";
    default:
        return "?";
    }
}

namespace {

convsim::Personality Tweaked(int type, const std::function<void(convsim::Personality&)>& tweak)
{
    convsim::Personality p = convsim::Personality::ForType(type);
    if (tweak)
        tweak(p);
    return p;
}

} // namespace

WrapperRig::WrapperRig(int type, const std::function<void(convsim::Personality&)>& tweak)
    : _type(type), _linked(Tweaked(type, tweak)), _sim(&_linked.Sim())
{
}

bool WrapperRig::Start()
{
    if (_linked.OpenResult() != 0)
        return false;
    const ModelRow* row = ModelRegistry::Find(_type);
    if (!row || !row->makeWrapper)
        return false;
    _wrapper = qobject_cast<RoiScalerWrapper*>(_linked.Build(row->makeWrapper));
    return _wrapper != nullptr;
}

int WrapperRig::Field(int field) const
{
    return _wrapper->Block()->Field(field);
}

void WrapperRig::Set(quint32 id, const QVariant& value)
{
    _wrapper->SetParam(id, value, LumoTimeStamp());
}

std::vector<convsim::LogEntry> WrapperRig::Since(uint64_t mark) const
{
    std::vector<convsim::LogEntry> entries;
    for (const convsim::LogEntry& e : _sim->Log())
        if (e.index > mark)
            entries.push_back(e);
    return entries;
}

std::vector<int> WrapperRig::Codes(const std::vector<convsim::LogEntry>& entries)
{
    std::vector<int> codes;
    for (const convsim::LogEntry& e : entries)
        codes.push_back(e.code);
    return codes;
}

UByte WrapperRig::Memory(int reg) const
{
    const convsim::Bytes memory = _sim->ConfigMemory(0, 0);
    const size_t i = size_t(reg - 3);
    return i < memory.size() ? memory[i] : 0;
}

UByte WrapperRig::Live(int reg) const
{
    return _sim->ReadRegisters(1, 0, uint32_t(reg), 1).at(0);
}

void WrapperRig::SetStatus(int reg, const std::vector<UByte>& bytes)
{
    _sim->WriteRegisters(1, 0, uint32_t(reg), convsim::Bytes(bytes.begin(), bytes.end()));
}
