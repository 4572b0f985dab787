#include "framing.h"

namespace convsimtest {

Bytes Cmd(uint8_t code, const Bytes& payload)
{
    const size_t n = payload.size() + 3;
    return Concat(Bytes{code, uint8_t(n >> 8), uint8_t(n)}, payload);
}

Bytes Text(const std::string& s, size_t width)
{
    Bytes out(s.begin(), s.end());
    out.resize(width, 0);
    return out;
}

Bytes ReadAnswer(PseudoTerminal& line, int timeoutMs)
{
    const Bytes head = line.Receive(4, timeoutMs);
    if (head.size() < 4)
        return head;
    const size_t total = size_t(head[1]) << 8 | head[2];
    if (total <= 4)
        return head;
    return Concat(head, line.Receive(total - 4, timeoutMs));
}

Bytes Exchange(PseudoTerminal& line, const Bytes& command, int timeoutMs)
{
    if (!line.Send(command))
        return {};
    return ReadAnswer(line, timeoutMs);
}

} // namespace convsimtest
