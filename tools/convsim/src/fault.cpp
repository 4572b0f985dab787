#include "convsim/fault.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace convsim {

namespace {

const struct {
    const char* name;
    Fault::Kind kind;
} kKinds[] = {
    {"busy", Fault::Kind::Busy},
    {"delay", Fault::Kind::Delay},
    {"silence", Fault::Kind::Silence},
    {"split", Fault::Kind::Split},
    {"wrongcode", Fault::Kind::WrongCode},
    {"unknown", Fault::Kind::UnknownCommand},
    {"error", Fault::Kind::ErrorStatus},
    {"garbage", Fault::Kind::Garbage},
    {"unplug", Fault::Kind::Unplug},
};

const Bytes kDefaultGarbage = {0x5A, 0xA5, 0x00, 0xFF, 0x13, 0x37};

bool ParseNumber(const std::string& s, unsigned long max, unsigned long& out)
{
    if (s.empty() || s[0] == '-' || s[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(s.c_str(), &end, 0);
    if (errno != 0 || end == s.c_str() || *end != '\0' || v > max)
        return false;
    out = v;
    return true;
}

bool ParseHex(const std::string& s, Bytes& out)
{
    if (s.size() % 2 != 0 || s.size() > 2 * kMaxFrame)
        return false;
    out.clear();
    for (size_t i = 0; i < s.size(); i += 2) {
        unsigned long v = 0;
        if (!std::isxdigit(static_cast<unsigned char>(s[i])) ||
            !std::isxdigit(static_cast<unsigned char>(s[i + 1])) ||
            !ParseNumber("0x" + s.substr(i, 2), 0xFF, v))
            return false;
        out.push_back(uint8_t(v));
    }
    return true;
}

bool Fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

bool SetKey(Fault& f, const std::string& key, const std::string& value, std::string* error)
{
    unsigned long v = 0;
    auto number = [&](unsigned long max) {
        return ParseNumber(value, max, v) || Fail(error, "bad value for " + key + ": " + value);
    };
    if (key == "code") {
        if (!number(0xFF))
            return false;
        f.code = int(v);
    } else if (key == "nth") {
        if (!number(0xFFFFFFFFul))
            return false;
        f.nth = unsigned(v);
    } else if (key == "times") {
        if (!number(0xFFFFFFFFul))
            return false;
        f.times = unsigned(v);
    } else if (key == "addr") {
        if (!number(0xFFFFFFFFul))
            return false;
        f.address = int64_t(v);
    } else if (key == "count") {
        if (!number(100000))
            return false;
        f.count = unsigned(v);
    } else if (key == "payload") {
        if (!number(kMaxFrame - kHeaderBytes))
            return false;
        f.busyPayload = unsigned(v);
    } else if (key == "ms") {
        if (!number(3600000))
            return false;
        f.delayMs = unsigned(v);
    } else if (key == "gap") {
        if (!number(3600000))
            return false;
        f.gapMs = unsigned(v);
    } else if (key == "value") {
        if (!number(0xFF))
            return false;
        f.value = int(v);
    } else if (key == "answer") {
        if (!number(1))
            return false;
        f.thenAnswer = v != 0;
    } else if (key == "bytes") {
        if (!ParseHex(value, f.bytes))
            return Fail(error, "bad hex bytes: " + value);
    } else if (key == "at") {
        f.splitAt.clear();
        std::stringstream ss(value);
        std::string part;
        while (std::getline(ss, part, ':')) {
            if (!ParseNumber(part, kMaxFrame, v))
                return Fail(error, "bad split offset: " + part);
            f.splitAt.push_back(size_t(v));
        }
    } else {
        return Fail(error, "unknown fault key: " + key);
    }
    return true;
}

} // namespace

bool ParseFault(const std::string& text, Fault& out, std::string* error)
{
    std::stringstream ss(text);
    std::string part;
    if (!std::getline(ss, part, ','))
        return Fail(error, "empty fault");
    Fault f;
    bool found = false;
    for (const auto& k : kKinds)
        if (part == k.name) {
            f.kind = k.kind;
            found = true;
        }
    if (!found)
        return Fail(error, "unknown fault kind: " + part);
    while (std::getline(ss, part, ',')) {
        const size_t eq = part.find('=');
        if (eq == std::string::npos)
            return Fail(error, "expected key=value: " + part);
        if (!SetKey(f, part.substr(0, eq), part.substr(eq + 1), error))
            return false;
    }
    out = f;
    return true;
}

unsigned FaultPlan::Fired(size_t index) const
{
    return index < _entries.size() ? _entries[index].fired : 0;
}

int64_t RegisterAddress(const Bytes& frame)
{
    // code, length (2), interface, device, address (4)
    const bool registerCommand = !frame.empty() &&
                                 (frame[0] == kWriteDeviceDataImmediateCmd || frame[0] == kReadDeviceDataImmediateCmd);
    if (!registerCommand || frame.size() < kCommandHeader + 6)
        return -1;
    return int64_t(Get32(frame.data() + kCommandHeader + 2));
}

FaultPlan::Firing FaultPlan::Match(uint8_t code, int64_t address)
{
    Firing firing;
    for (Entry& e : _entries) {
        if (e.fault.code >= 0 && e.fault.code != code)
            continue;
        if (e.fault.address >= 0 && e.fault.address != address)
            continue;
        ++e.seen;
        if (e.fault.nth != 0 && e.seen != e.fault.nth)
            continue;
        if (e.fault.times != 0 && e.fired >= e.fault.times)
            continue;
        ++e.fired;
        firing.push_back(e.fault);
    }
    return firing;
}

bool FaultPlan::Refuses(const Firing& firing)
{
    for (const Fault& f : firing) {
        if (f.kind == Fault::Kind::UnknownCommand)
            return true;
        if (f.kind == Fault::Kind::ErrorStatus && f.value != kStatusDone)
            return true;
    }
    return false;
}

WirePlan FaultPlan::Apply(uint8_t code, Bytes answer)
{
    return Shape(code, std::move(answer), Match(code));
}

WirePlan FaultPlan::Shape(uint8_t code, Bytes answer, const Firing& firingFaults)
{
    std::vector<const Fault*> firing;
    for (const Fault& f : firingFaults)
        firing.push_back(&f);
    auto has = [&firing](Fault::Kind k) -> const Fault* {
        for (const Fault* f : firing)
            if (f->kind == k)
                return f;
        return nullptr;
    };

    WirePlan plan;
    if (has(Fault::Kind::Unplug)) {
        plan.unplug = true;
        return plan;
    }
    if (has(Fault::Kind::Silence))
        return plan;

    const uint8_t answerCode = uint8_t(code + kResponseOffset);
    for (const Fault* f : firing) {
        if (f->kind == Fault::Kind::UnknownCommand)
            answer = MakeResponse(kUnknownCommandResponse, kStatusDone);
        else if (f->kind == Fault::Kind::ErrorStatus)
            answer = MakeResponse(answerCode, uint8_t(f->value < 0 ? kStatusFailed : f->value));
        else if (f->kind == Fault::Kind::WrongCode && !answer.empty())
            answer[0] = uint8_t(f->value < 0 ? answerCode + 1 : f->value);
    }
    if (const Fault* g = has(Fault::Kind::Garbage)) {
        Bytes out = g->bytes.empty() ? kDefaultGarbage : g->bytes;
        if (g->thenAnswer)
            out.insert(out.end(), answer.begin(), answer.end());
        answer = std::move(out);
    }

    if (const Fault* b = has(Fault::Kind::Busy)) {
        const Bytes filler(std::min<size_t>(b->busyPayload, kMaxFrame - kHeaderBytes), 0xEE);
        for (unsigned i = 0; i < b->count; ++i)
            plan.steps.push_back({i == 0 ? 0 : b->gapMs, MakeResponse(answerCode, kStatusBusy, filler)});
    }
    const unsigned firstGap = plan.steps.empty() ? 0 : has(Fault::Kind::Busy)->gapMs;
    if (const Fault* s = has(Fault::Kind::Split)) {
        std::vector<size_t> cuts = s->splitAt;
        if (cuts.empty())
            for (size_t i = 1; i < answer.size(); ++i)
                cuts.push_back(i);
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        size_t from = 0;
        for (size_t cut : cuts) {
            if (cut <= from || cut >= answer.size())
                continue;
            plan.steps.push_back({plan.steps.empty() ? firstGap : s->gapMs,
                                  Bytes(answer.begin() + long(from), answer.begin() + long(cut))});
            from = cut;
        }
        plan.steps.push_back({from == 0 ? firstGap : s->gapMs, Bytes(answer.begin() + long(from), answer.end())});
    } else {
        plan.steps.push_back({firstGap, std::move(answer)});
    }
    if (const Fault* d = has(Fault::Kind::Delay))
        plan.steps.front().delayMs += d->delayMs;
    return plan;
}

} // namespace convsim
