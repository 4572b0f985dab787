// liblumo's in-memory XML document. A document (LumoXML) owns a tree of
// nodes; each node has a name, properties (attributes), one text of
// character data and its children in order. LumoXMLNode is a light handle on
// one node: navigation, children, name, data, properties, and serialisation
// to indented XML text, a log entry or a file. A handle owns nothing and must
// not be used once its node has been removed.
#ifndef LUMO_LUMOXML_H
#define LUMO_LUMOXML_H

#include <QHash>
#include <QString>

#include "lumo/lumoglobal.h"
#include "lumo/lumoxmlparser.h"

class LumoXMLNode;

// One node. It owns its children: removing it deletes its subtree.
class LUMO_EXPORT LumoXMLNodeData {
public:
    LumoXMLNodeData();
    explicit LumoXMLNodeData(QString const& name);
    // Releases name, data and properties; children are not touched.
    ~LumoXMLNodeData();

    LumoXMLNodeData(LumoXMLNodeData const&) = delete;
    LumoXMLNodeData& operator=(LumoXMLNodeData const&) = delete;

    // Indexes and n count from 0; null when there is no such child.
    LumoXMLNodeData* findChild(int index) const;
    LumoXMLNodeData* findChild(QString const& name, int n) const;
    // Inserted at index: negative appends, 0 goes first, k goes after child
    // k - 1 (appended when there is none).
    LumoXMLNodeData* addChild(QString const& name, int index);
    // A deep copy of the node, taken before it is inserted.
    LumoXMLNodeData* addChild(LumoXMLNodeData const& node, int index);
    void removeChildren();
    // Deletes the children, unlinks this node from parent and siblings and
    // deletes it.
    void remove();
    // A deep copy without parent and siblings.
    static LumoXMLNodeData* copyNode(LumoXMLNodeData const* node);
    LumoXMLNodeData* copy() const;

private:
    friend class LumoXMLNode;
    friend class LumoXML;
    void insertChild(LumoXMLNodeData* child, int index);

    int _count;
    LumoXMLNodeData* _parent;
    LumoXMLNodeData* _next;
    LumoXMLNodeData* _prev;
    LumoXMLNodeData* _firstChild;
    LumoXMLNodeData* _lastChild;
    QString _name;
    QString _data;
    QHash<QString, QString> _props;
};

// A handle on one node, or invalid. Every operation on an invalid handle
// does nothing and gives an invalid handle, a null text, false, 0 or
// null_props; dump still logs, with empty text. The const operations change
// the tree all the same, not the handle.
class LUMO_EXPORT LumoXMLNode {
public:
    LumoXMLNode();
    LumoXMLNode(LumoXMLNodeData* node);
    LumoXMLNode(LumoXMLNode const& other);
    LumoXMLNode& operator=(LumoXMLNodeData* node);
    LumoXMLNode& operator=(LumoXMLNode const& other);
    ~LumoXMLNode();

    bool isValid() const;
    QString name() const;
    QString data() const;
    void setName(QString const& name);
    void setData(QString const& data);

    QHash<QString, QString> const& props() const;
    void propSet(QString const& name, QString const& value);
    // A missing name is added with an empty value.
    QString propGet(QString const& name) const;
    bool hasProps() const;
    bool hasData() const;
    bool hasChildren() const;
    int count() const;
    bool isRoot() const;
    // Valid, without parent, siblings and children.
    bool isOrphan() const;

    LumoXMLNode parent() const;
    LumoXMLNode next() const;
    LumoXMLNode prev() const;
    LumoXMLNode firstChild() const;
    LumoXMLNode lastChild() const;
    // Move this handle; where there is no such node it becomes invalid and
    // the result is false.
    bool gotoParent();
    bool gotoNext();
    bool gotoPrev();
    bool gotoFirstChild();
    bool gotoLastChild();

    LumoXMLNode child(int index) const;
    LumoXMLNode child(QString const& name, int n = 0) const;
    LumoXMLNode addChild(QString const& name, int index = -1) const;
    // A deep copy of the other handle's subtree.
    LumoXMLNode addChild(LumoXMLNode const& node, int index = -1) const;
    void removeChild(int index) const;
    void removeChild(QString const& name, int n = 0) const;
    // Deletes the node with its subtree when it has a parent, and this
    // handle becomes invalid; a root is left alone.
    void remove();

    // Indented XML; level 0 starts with the declaration line.
    QString toString(int level = 0) const;
    // The serialisation as one information line of the log.
    void dump() const;
    // False for an invalid handle, a file that cannot be opened, or a write
    // that does not reach the file whole.
    bool toFile(QString const& fileName) const;

    static const QHash<QString, QString> null_props;

private:
    friend class LumoXML;
    LumoXMLNodeData* _node;
};

// A document: owns its tree, whose root is never null. Valid when the root
// has a name. Construction from and assignment of another document or node
// copy deeply.
class LUMO_EXPORT LumoXML {
public:
    LumoXML();
    explicit LumoXML(QString const& rootName);
    LumoXML(LumoXML const& other);
    LumoXML(LumoXMLNode const& node);
    ~LumoXML();

    // Both copy first, so a document may take itself or one of its own nodes.
    LumoXML& operator=(LumoXML const& other);
    LumoXML& operator=(LumoXMLNode const& node);

    // A new root without a name.
    void clear();
    LumoXMLNode root() const;
    operator LumoXMLNode() const;
    bool isValid() const;

    // An invalid document (logged at error level) when the text does not
    // parse or leaves elements open; a null text gives one silently.
    static LumoXML stringToXML(QString const& text);
    // The file's bytes as Latin-1; invalid, silently, when it cannot be
    // opened, and (logged) when it holds more than 64 MiB.
    static LumoXML fileToXML(QString const& fileName);

private:
    void replaceRoot(LumoXMLNodeData* root);

    LumoXMLNodeData* _root;
};

// Builds a tree from parser events: the first element becomes the root it
// was given, later ones its descendants. Name prefixes are dropped.
class LUMO_EXPORT LumoXMLTreeParser : public LumoXMLParser {
public:
    explicit LumoXMLTreeParser(LumoXMLNode const& root);
    ~LumoXMLTreeParser() override;

    LumoXMLTreeParser(LumoXMLTreeParser const&) = delete;
    LumoXMLTreeParser& operator=(LumoXMLTreeParser const&) = delete;

    bool parseData(QByteArray const& data) override;
    bool parseNodeOpen(QByteArray const& name) override;
    bool parseNodeClose(QByteArray const& name) override;
    bool parseProperty(QByteArray const& name, QByteArray const& value) override;

    // Elements opened and not yet closed.
    int level() const;

private:
    class NameCache;
    QString name(QByteArray const& bytes);

    int _level;
    LumoXMLNode _current;
    NameCache* _names;
};

#endif
