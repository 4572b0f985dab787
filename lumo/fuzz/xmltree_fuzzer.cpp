// Any text into LumoXML::stringToXML. A document that reads back is written
// out and read again: the second tree has the same names, properties and
// children, and each data text starts with the first one's (an element with
// children gains the indentation before its close tag).
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include <QString>

#include "lumo/lumolog.h"
#include "lumo/lumoxml.h"

namespace {

// Names that prefixes left empty cannot be written back.
bool namesWritable(LumoXMLNode const& root)
{
    std::vector<LumoXMLNode> pending{root};
    while (!pending.empty()) {
        const LumoXMLNode node = pending.back();
        pending.pop_back();
        if (node.name().isEmpty() || node.props().contains(QString()))
            return false;
        for (LumoXMLNode c = node.firstChild(); c.isValid(); c.gotoNext())
            pending.push_back(c);
    }
    return true;
}

bool sameTree(LumoXMLNode const& a, LumoXMLNode const& b)
{
    std::vector<std::pair<LumoXMLNode, LumoXMLNode>> pending{{a, b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x.name() != y.name() || x.props() != y.props() || x.count() != y.count() ||
            (!x.data().isEmpty() && !y.data().startsWith(x.data())))
            return false;
        for (LumoXMLNode cx = x.firstChild(), cy = y.firstChild(); cx.isValid(); cx.gotoNext(), cy.gotoNext())
            pending.emplace_back(cx, cy);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Failed reads log; nothing passes this threshold.
    lumoLogSetLevel(-1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), int(size));
    const LumoXML doc = LumoXML::stringToXML(text);
    if (!doc.isValid() || !namesWritable(doc.root()))
        return 0;
    const QString written = doc.root().toString(0);
    const LumoXML again = LumoXML::stringToXML(written);
    if (!again.isValid() || !sameTree(doc.root(), again.root()))
        __builtin_trap();
    return 0;
}
