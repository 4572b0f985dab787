#include "lumo/lumoxml.h"

#include <cstring>
#include <utility>
#include <vector>

#include <QFile>

#include "lumo/lumolog.h"

namespace {

// Larger files are refused rather than read whole.
const qint64 kMaxFileSize = 64 * 1024 * 1024;

// Bytes of an event as text: Latin-1 up to the first NUL.
QString latin1Text(QByteArray const& bytes)
{
    return QString::fromLatin1(bytes.constData(), int(qstrnlen(bytes.constData(), uint(bytes.size()))));
}

// A name without its prefix: x:a and x:a:b both give a.
QString localName(QByteArray const& bytes)
{
    QString name = latin1Text(bytes);
    if (name.contains(QLatin1Char(':')))
        name = name.section(QLatin1Char(':'), 1, 1);
    return name;
}

void appendEscaped(QString& out, QString const& text)
{
    QChar const* begin = text.constData();
    QChar const* const end = begin + text.size();
    for (QChar const* c = begin; c != end; ++c) {
        char const* entity;
        switch (c->unicode()) {
        case '"':
            entity = "&quot;";
            break;
        case '&':
            entity = "&amp;";
            break;
        case '\'':
            entity = "&apos;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        default:
            continue;
        }
        out.append(begin, int(c - begin));
        out.append(QLatin1String(entity));
        begin = c + 1;
    }
    out.append(begin, int(end - begin));
}

void appendIndent(QString& out, int level)
{
    for (int i = 0; i < level; ++i)
        out.append(QLatin1Char('\t'));
}

// '<', the name and the properties.
void appendStartTag(QString& out, LumoXMLNode const& node, int level)
{
    appendIndent(out, level);
    out.append(QLatin1Char('<'));
    out.append(node.name());
    QHash<QString, QString> const& props = node.props();
    for (auto it = props.constBegin(); it != props.constEnd(); ++it) {
        out.append(QLatin1Char(' '));
        out.append(it.key());
        out.append(QLatin1String("=\""));
        appendEscaped(out, it.value());
        out.append(QLatin1Char('"'));
    }
}

void appendEndTag(QString& out, QString const& name)
{
    out.append(QLatin1String("</"));
    out.append(name);
    out.append(QLatin1Char('>'));
}

} // namespace

// --- LumoXMLNodeData ------------------------------------------------------------

LumoXMLNodeData::LumoXMLNodeData() : LumoXMLNodeData(QString()) {}

LumoXMLNodeData::LumoXMLNodeData(QString const& name)
    : _count(0),
      _parent(nullptr),
      _next(nullptr),
      _prev(nullptr),
      _firstChild(nullptr),
      _lastChild(nullptr),
      _name(name)
{
}

LumoXMLNodeData::~LumoXMLNodeData() = default;

LumoXMLNodeData* LumoXMLNodeData::findChild(int index) const
{
    if (index < 0)
        return nullptr;
    LumoXMLNodeData* child = _firstChild;
    for (; child && index > 0; --index)
        child = child->_next;
    return child;
}

LumoXMLNodeData* LumoXMLNodeData::findChild(QString const& name, int n) const
{
    if (n < 0)
        return nullptr;
    for (LumoXMLNodeData* child = _firstChild; child; child = child->_next)
        if (child->_name == name && n-- == 0)
            return child;
    return nullptr;
}

LumoXMLNodeData* LumoXMLNodeData::addChild(QString const& name, int index)
{
    LumoXMLNodeData* child = new LumoXMLNodeData(name);
    insertChild(child, index);
    return child;
}

LumoXMLNodeData* LumoXMLNodeData::addChild(LumoXMLNodeData const& node, int index)
{
    LumoXMLNodeData* child = copyNode(&node);
    insertChild(child, index);
    return child;
}

void LumoXMLNodeData::insertChild(LumoXMLNodeData* child, int index)
{
    child->_parent = this;
    ++_count;
    if (index == 0 || !_lastChild) {
        child->_next = _firstChild;
        if (_firstChild)
            _firstChild->_prev = child;
        else
            _lastChild = child;
        _firstChild = child;
        return;
    }
    LumoXMLNodeData* after = index > 0 ? findChild(index - 1) : nullptr;
    if (!after)
        after = _lastChild;
    child->_prev = after;
    child->_next = after->_next;
    if (after->_next)
        after->_next->_prev = child;
    else
        _lastChild = child;
    after->_next = child;
}

void LumoXMLNodeData::removeChildren()
{
    // Without recursion, so that any depth can be deleted.
    std::vector<LumoXMLNodeData*> pending;
    for (LumoXMLNodeData* child = _firstChild; child; child = child->_next)
        pending.push_back(child);
    while (!pending.empty()) {
        LumoXMLNodeData* node = pending.back();
        pending.pop_back();
        for (LumoXMLNodeData* child = node->_firstChild; child; child = child->_next)
            pending.push_back(child);
        delete node;
    }
    _firstChild = _lastChild = nullptr;
    _count = 0;
}

void LumoXMLNodeData::remove()
{
    removeChildren();
    if (_parent) {
        --_parent->_count;
        if (_parent->_firstChild == this)
            _parent->_firstChild = _next;
        if (_parent->_lastChild == this)
            _parent->_lastChild = _prev;
    }
    if (_prev)
        _prev->_next = _next;
    if (_next)
        _next->_prev = _prev;
    _parent = _prev = _next = nullptr;
    delete this;
}

LumoXMLNodeData* LumoXMLNodeData::copyNode(LumoXMLNodeData const* node)
{
    LumoXMLNodeData* root = new LumoXMLNodeData(node->_name);
    root->_data = node->_data;
    root->_props = node->_props;
    // Pairs of an original and its copy whose children are still to copy.
    std::vector<std::pair<LumoXMLNodeData const*, LumoXMLNodeData*>> pending{{node, root}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (LumoXMLNodeData const* child = from->_firstChild; child; child = child->_next) {
            LumoXMLNodeData* copy = new LumoXMLNodeData(child->_name);
            copy->_data = child->_data;
            copy->_props = child->_props;
            copy->_parent = to;
            copy->_prev = to->_lastChild;
            if (to->_lastChild)
                to->_lastChild->_next = copy;
            else
                to->_firstChild = copy;
            to->_lastChild = copy;
            ++to->_count;
            pending.emplace_back(child, copy);
        }
    }
    return root;
}

LumoXMLNodeData* LumoXMLNodeData::copy() const
{
    return copyNode(this);
}

// --- LumoXMLNode ------------------------------------------------------------------

const QHash<QString, QString> LumoXMLNode::null_props;

LumoXMLNode::LumoXMLNode() : _node(nullptr) {}

LumoXMLNode::LumoXMLNode(LumoXMLNodeData* node) : _node(node) {}

LumoXMLNode::LumoXMLNode(LumoXMLNode const& other) = default;

LumoXMLNode& LumoXMLNode::operator=(LumoXMLNodeData* node)
{
    _node = node;
    return *this;
}

LumoXMLNode& LumoXMLNode::operator=(LumoXMLNode const& other) = default;

LumoXMLNode::~LumoXMLNode() = default;

bool LumoXMLNode::isValid() const
{
    return _node;
}

QString LumoXMLNode::name() const
{
    return _node ? _node->_name : QString();
}

QString LumoXMLNode::data() const
{
    return _node ? _node->_data : QString();
}

void LumoXMLNode::setName(QString const& name)
{
    if (_node)
        _node->_name = name;
}

void LumoXMLNode::setData(QString const& data)
{
    if (_node)
        _node->_data = data;
}

QHash<QString, QString> const& LumoXMLNode::props() const
{
    return _node ? _node->_props : null_props;
}

void LumoXMLNode::propSet(QString const& name, QString const& value)
{
    if (_node)
        _node->_props.insert(name, value);
}

QString LumoXMLNode::propGet(QString const& name) const
{
    if (!_node)
        return QString();
    auto it = _node->_props.find(name);
    if (it == _node->_props.end())
        it = _node->_props.insert(name, QLatin1String(""));
    return it.value();
}

bool LumoXMLNode::hasProps() const
{
    return _node && !_node->_props.isEmpty();
}

bool LumoXMLNode::hasData() const
{
    return _node && !_node->_data.isEmpty();
}

bool LumoXMLNode::hasChildren() const
{
    return _node && _node->_count != 0;
}

int LumoXMLNode::count() const
{
    return _node ? _node->_count : 0;
}

bool LumoXMLNode::isRoot() const
{
    return _node && !_node->_parent;
}

bool LumoXMLNode::isOrphan() const
{
    return _node && !_node->_parent && !_node->_next && !_node->_prev && !_node->_firstChild;
}

LumoXMLNode LumoXMLNode::parent() const
{
    return _node ? _node->_parent : nullptr;
}

LumoXMLNode LumoXMLNode::next() const
{
    return _node ? _node->_next : nullptr;
}

LumoXMLNode LumoXMLNode::prev() const
{
    return _node ? _node->_prev : nullptr;
}

LumoXMLNode LumoXMLNode::firstChild() const
{
    return _node ? _node->_firstChild : nullptr;
}

LumoXMLNode LumoXMLNode::lastChild() const
{
    return _node ? _node->_lastChild : nullptr;
}

bool LumoXMLNode::gotoParent()
{
    return (*this = parent()).isValid();
}

bool LumoXMLNode::gotoNext()
{
    return (*this = next()).isValid();
}

bool LumoXMLNode::gotoPrev()
{
    return (*this = prev()).isValid();
}

bool LumoXMLNode::gotoFirstChild()
{
    return (*this = firstChild()).isValid();
}

bool LumoXMLNode::gotoLastChild()
{
    return (*this = lastChild()).isValid();
}

LumoXMLNode LumoXMLNode::child(int index) const
{
    return _node ? _node->findChild(index) : nullptr;
}

LumoXMLNode LumoXMLNode::child(QString const& name, int n) const
{
    return _node ? _node->findChild(name, n) : nullptr;
}

LumoXMLNode LumoXMLNode::addChild(QString const& name, int index) const
{
    return _node ? _node->addChild(name, index) : nullptr;
}

LumoXMLNode LumoXMLNode::addChild(LumoXMLNode const& node, int index) const
{
    return _node && node._node ? _node->addChild(*node._node, index) : nullptr;
}

void LumoXMLNode::removeChild(int index) const
{
    if (LumoXMLNodeData* found = _node ? _node->findChild(index) : nullptr)
        found->remove();
}

void LumoXMLNode::removeChild(QString const& name, int n) const
{
    if (LumoXMLNodeData* found = _node ? _node->findChild(name, n) : nullptr)
        found->remove();
}

void LumoXMLNode::remove()
{
    if (!_node || !_node->_parent)
        return;
    _node->remove();
    _node = nullptr;
}

QString LumoXMLNode::toString(int level) const
{
    if (!_node)
        return QString();
    QString out;
    if (level == 0)
        out.append(QLatin1String("<?xml version=\"1.0\"?>\n"));
    // Walks the subtree through its links, without recursion.
    LumoXMLNode node = *this;
    int depth = level;
    for (;;) {
        appendStartTag(out, node, depth);
        if (node.hasChildren()) {
            out.append(QLatin1String(">\n"));
            node.gotoFirstChild();
            ++depth;
            continue;
        }
        if (node.hasData()) {
            out.append(QLatin1Char('>'));
            appendEscaped(out, node._node->_data);
            appendEndTag(out, node._node->_name);
        } else {
            out.append(QLatin1String("/>"));
        }
        // Up past every node whose children are all written.
        for (;;) {
            if (node._node == _node)
                return out;
            out.append(QLatin1Char('\n'));
            if (node._node->_next) {
                node = node._node->_next;
                break;
            }
            node = node._node->_parent;
            --depth;
            appendEscaped(out, node._node->_data);
            appendIndent(out, depth);
            appendEndTag(out, node._node->_name);
        }
    }
}

void LumoXMLNode::dump() const
{
    LumoLogStream(LumoLog::defaultLog(), QStringLiteral("lumoxml"), __LINE__, 3) << toString(0);
}

bool LumoXMLNode::toFile(QString const& fileName) const
{
    const QString text = toString(0);
    if (text.isNull())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toLatin1();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    return file.error() == QFileDevice::NoError;
}

// --- LumoXML ------------------------------------------------------------------------

LumoXML::LumoXML() : _root(new LumoXMLNodeData) {}

LumoXML::LumoXML(QString const& rootName) : _root(new LumoXMLNodeData(rootName)) {}

LumoXML::LumoXML(LumoXML const& other) : _root(LumoXMLNodeData::copyNode(other._root)) {}

LumoXML::LumoXML(LumoXMLNode const& node) : _root(nullptr)
{
    _root = node._node ? LumoXMLNodeData::copyNode(node._node) : new LumoXMLNodeData;
}

LumoXML::~LumoXML()
{
    _root->remove();
}

void LumoXML::replaceRoot(LumoXMLNodeData* root)
{
    _root->remove();
    _root = root;
}

LumoXML& LumoXML::operator=(LumoXML const& other)
{
    replaceRoot(LumoXMLNodeData::copyNode(other._root));
    return *this;
}

LumoXML& LumoXML::operator=(LumoXMLNode const& node)
{
    replaceRoot(node._node ? LumoXMLNodeData::copyNode(node._node) : new LumoXMLNodeData);
    return *this;
}

void LumoXML::clear()
{
    replaceRoot(new LumoXMLNodeData);
}

LumoXMLNode LumoXML::root() const
{
    return _root;
}

LumoXML::operator LumoXMLNode() const
{
    return _root;
}

bool LumoXML::isValid() const
{
    return !_root->_name.isEmpty();
}

LumoXML LumoXML::stringToXML(QString const& text)
{
    LumoXML document;
    if (text.isNull())
        return document;
    LumoXMLTreeParser parser(document.root());
    if (!parser.parse(text)) {
        lumoLogOutput(1, QStringLiteral("lumoxml"), __LINE__, "parse error\n");
        document.clear();
    } else if (parser.level() != 0) {
        lumoLogOutput(1, QStringLiteral("lumoxml"), __LINE__, "level error %d\n", parser.level());
        document.clear();
    }
    return document;
}

LumoXML LumoXML::fileToXML(QString const& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return LumoXML();
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        lumoLogOutput(1, QStringLiteral("lumoxml"), __LINE__, "%s: larger than %lld bytes\n",
                      QFile::encodeName(fileName).constData(), static_cast<long long>(kMaxFileSize));
        return LumoXML();
    }
    return stringToXML(latin1Text(bytes));
}

// --- LumoXMLTreeParser ---------------------------------------------------------------

// Names repeat from element to element: the texts made for the last ones
// are kept and shared, which spares an allocation for each.
class LumoXMLTreeParser::NameCache {
public:
    QString lookup(QByteArray const& bytes)
    {
        Entry& e = _entries[slot(bytes)];
        if (e.bytes != bytes) {
            // A copy of its own: sharing the parser's scratch array would
            // make the parser allocate a new one for the next name.
            e.bytes = QByteArray(bytes.constData(), bytes.size());
            e.name = localName(bytes);
        }
        return e.name;
    }

private:
    struct Entry {
        QByteArray bytes;
        QString name;
    };
    static int slot(QByteArray const& bytes)
    {
        const int n = bytes.size();
        const unsigned h = n ? unsigned(n) * 31u + uchar(bytes.at(0)) * 7u + uchar(bytes.at(n - 1)) : 0u;
        return int(h % kSlots);
    }
    static const int kSlots = 61;
    Entry _entries[kSlots];
};

LumoXMLTreeParser::LumoXMLTreeParser(LumoXMLNode const& root)
    : _level(0), _current(root), _names(new NameCache)
{
}

LumoXMLTreeParser::~LumoXMLTreeParser()
{
    delete _names;
}

QString LumoXMLTreeParser::name(QByteArray const& bytes)
{
    return _names->lookup(bytes);
}

int LumoXMLTreeParser::level() const
{
    return _level;
}

bool LumoXMLTreeParser::parseNodeOpen(QByteArray const& name)
{
    if (_level == 0) {
        _current.setName(this->name(name));
        _level = 1;
    } else {
        _current = _current.addChild(this->name(name), -1);
        ++_level;
    }
    return true;
}

bool LumoXMLTreeParser::parseProperty(QByteArray const& name, QByteArray const& value)
{
    _current.propSet(this->name(name), latin1Text(value));
    return true;
}

bool LumoXMLTreeParser::parseData(QByteArray const& data)
{
    _current.setData(latin1Text(data));
    return true;
}

bool LumoXMLTreeParser::parseNodeClose(QByteArray const& name)
{
    if (_level == 0 || _current.name() != this->name(name))
        return false;
    _current.gotoParent();
    --_level;
    return true;
}
