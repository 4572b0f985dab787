// The XML document and node tree: building from text and files, exact
// serialisation, round trips of special characters, navigation and edits,
// copies (also of a document into itself), file writes and deep trees.
#include <gtest/gtest.h>

#include <syslog.h>

#include <string>

#include <QFile>
#include <QTemporaryDir>

#include "logcapture.h"
#include "lumo/lumolog.h"
#include "lumo/lumoxml.h"

// Failures show texts as text.
void PrintTo(QString const& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\"?>\n");

// Messages the tree (not the parser) logged, in order.
std::vector<std::string> treeMessages()
{
    std::vector<std::string> messages;
    for (SystemEntry const& e : LogCapture::system())
        if (e.prefix.contains("[lumoxml:"))
            messages.push_back(std::to_string(e.priority) + " " + e.msg.toStdString());
    return messages;
}

// Waits for count tree messages; then a little more, so that a message too
// many would show.
std::vector<std::string> awaitTreeMessages(size_t count)
{
    LogCapture::waitUntil([count] { return treeMessages().size() >= count; });
    lumoLogOutput(3, QStringLiteral("fence"), 1, "fence\n");
    LogCapture::waitUntil([] {
        for (SystemEntry const& e : LogCapture::system())
            if (e.msg == "fence\n")
                return true;
        return false;
    });
    return treeMessages();
}

QStringList childNames(LumoXMLNode const& node)
{
    QStringList names;
    for (LumoXMLNode c = node.firstChild(); c.isValid(); c.gotoNext())
        names << c.name();
    return names;
}

class LumoXMLTest : public ::testing::Test {
protected:
    void SetUp() override { LogCapture::clear(); }
    LogCapture _capture;
};

TEST_F(LumoXMLTest, ExampleSerialisesExactly)
{
    LumoXML doc(QStringLiteral("r"));
    doc.root().propSet(QStringLiteral("k"), QStringLiteral("a<b"));
    doc.root().addChild(QStringLiteral("c"), -1).setData(QStringLiteral("x&y"));
    EXPECT_EQ(doc.root().toString(0), kDeclaration + "<r k=\"a&lt;b\">\n\t<c>x&amp;y</c>\n</r>");
}

TEST_F(LumoXMLTest, SerialisationForms)
{
    LumoXML leaf(QStringLiteral("a"));
    EXPECT_EQ(leaf.root().toString(1), QStringLiteral("\t<a/>"));
    EXPECT_EQ(leaf.root().toString(0), kDeclaration + "<a/>");

    // One child and data: the data stands before the close tag, unindented.
    LumoXML e(QStringLiteral("e"));
    e.root().addChild(QStringLiteral("c"), -1);
    e.root().setData(QStringLiteral("d"));
    const QString level1 = e.root().toString(1);
    EXPECT_EQ(level1, QStringLiteral("\t<e>\n\t\t<c/>\nd\t</e>"));
    const LumoXML back = LumoXML::stringToXML(level1);
    EXPECT_EQ(back.root().data(), QStringLiteral("d\t"));
    EXPECT_EQ(childNames(back.root()), QStringList{QStringLiteral("c")});

    // Nested levels, names unescaped, every special character of data escaped.
    LumoXML deep(QStringLiteral("a"));
    LumoXMLNode b = deep.root().addChild(QStringLiteral("b"), -1);
    b.addChild(QStringLiteral("c"), -1).setData(QStringLiteral("<\"'&>"));
    b.addChild(QStringLiteral("d"), -1);
    deep.root().addChild(QStringLiteral("e"), -1);
    EXPECT_EQ(deep.root().toString(0),
              kDeclaration +
                  "<a>\n\t<b>\n\t\t<c>&lt;&quot;&apos;&amp;&gt;</c>\n\t\t<d/>\n\t</b>\n\t<e/>\n</a>");
    EXPECT_EQ(b.toString(2), QStringLiteral("\t\t<b>\n\t\t\t<c>&lt;&quot;&apos;&amp;&gt;</c>\n\t\t\t<d/>\n\t\t</b>"));
    EXPECT_TRUE(LumoXMLNode().toString(0).isNull());
}

TEST_F(LumoXMLTest, ReadingDocuments)
{
    LumoXML doc = LumoXML::stringToXML(QStringLiteral("<a x='1'><b/>text</a>"));
    ASSERT_TRUE(doc.isValid());
    LumoXMLNode a = doc.root();
    EXPECT_EQ(a.name(), QStringLiteral("a"));
    EXPECT_EQ(a.props(), (QHash<QString, QString>{{QStringLiteral("x"), QStringLiteral("1")}}));
    EXPECT_EQ(a.data(), QStringLiteral("text"));
    ASSERT_EQ(a.count(), 1);
    EXPECT_EQ(a.child(0).name(), QStringLiteral("b"));
    EXPECT_FALSE(a.child(0).hasData());

    EXPECT_EQ(LumoXML::stringToXML(QStringLiteral("<a>x<b/>y</a>")).root().data(), QStringLiteral("y"));
    EXPECT_FALSE(LumoXML::stringToXML(QStringLiteral("<a>\n\t<b/>\n</a>")).root().hasData());

    // Prefixes are dropped from element and property names.
    LumoXML prefixed = LumoXML::stringToXML(QStringLiteral("<x:a y:b='1'><p:q:c/></z:a>"));
    ASSERT_TRUE(prefixed.isValid());
    EXPECT_EQ(prefixed.root().name(), QStringLiteral("a"));
    EXPECT_EQ(prefixed.root().props().keys(), QStringList{QStringLiteral("b")});
    EXPECT_EQ(prefixed.root().child(0).name(), QStringLiteral("q"));

    // Comments between elements leave no data behind.
    LumoXML commented = LumoXML::stringToXML(
        QStringLiteral("<?xml version=\"1.0\"?>\n<!-- top -->\n<cfg>\n  <!-- net -->\n  <net ip='1'/>\n</cfg>\n"));
    ASSERT_TRUE(commented.isValid());
    EXPECT_FALSE(commented.root().hasData());
    EXPECT_EQ(childNames(commented.root()), QStringList{QStringLiteral("net")});
    EXPECT_TRUE(awaitTreeMessages(0).empty());
}

TEST_F(LumoXMLTest, FailedReadsGiveAnInvalidDocumentAndTheirMessage)
{
    struct Case {
        QString text;
        std::vector<std::string> messages;
    };
    const std::string parseError = "3 parse error\n";
    const Case cases[] = {
        {QString(), {}},
        {QStringLiteral(""), {parseError}},
        {QStringLiteral("<a><b></b>"), {"3 level error 1\n"}},
        {QStringLiteral("<a><b><c>"), {"3 level error 3\n"}},
        {QStringLiteral("<a></a><b/>"), {parseError}},
        {QStringLiteral("<a></b>"), {parseError}},
        {QStringLiteral("<a b>"), {parseError}},
        {QStringLiteral("plain text"), {}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        LogCapture::clear();
        const LumoXML doc = LumoXML::stringToXML(c.text);
        EXPECT_FALSE(doc.isValid());
        EXPECT_EQ(doc.root().count(), 0);
        EXPECT_TRUE(doc.root().props().isEmpty());
        std::vector<std::string> expected;
        for (std::string const& m : c.messages)
            expected.push_back(m);
        EXPECT_EQ(awaitTreeMessages(expected.size()), expected);
    }
    // A grammar error: the parser's own report comes first.
    LogCapture::clear();
    EXPECT_FALSE(LumoXML::stringToXML(QStringLiteral("<a b>")).isValid());
    ASSERT_TRUE(LogCapture::waitSystem(2));
    const auto entries = LogCapture::system();
    EXPECT_TRUE(entries[0].msg.startsWith("PARSE ERROR [4]: mangled property at line 1, char 4\n<a b>\n"));
    EXPECT_EQ(entries[1].msg, QByteArray("parse error\n"));
    EXPECT_EQ(entries[1].priority, LOG_ERR);
}

TEST_F(LumoXMLTest, PropertyValuesWithSpecialCharactersRoundTrip)
{
    const QString values[] = {
        QStringLiteral("it's & \"quoted\""),
        QStringLiteral("<tag attr='x'>"),
        QStringLiteral("&amp; &lt; &#60; &unknown;"),
        QStringLiteral("line\nfeed\ttab\rreturn"),
        QStringLiteral("  padded  "),
        QStringLiteral("<!-- not a comment -->"),
        QStringLiteral("<?pi?> ]]> -- //"),
        QStringLiteral("Latin-1: \u00e9\u00fc\u00df\u00a9\u00ff"),
        QString(),
    };
    LumoXML doc(QStringLiteral("root"));
    LumoXMLNode node = doc.root().addChild(QStringLiteral("n"), -1);
    for (int i = 0; i < int(std::size(values)); ++i)
        node.propSet(QStringLiteral("p%1").arg(i), values[i]);
    node.setData(QStringLiteral("data <with> 'all' \"five\" & more"));

    const QString text = doc.root().toString(0);
    const LumoXML back = LumoXML::stringToXML(text);
    ASSERT_TRUE(back.isValid()) << text.toStdString();
    LumoXMLNode n = back.root().child(QStringLiteral("n"), 0);
    ASSERT_TRUE(n.isValid());
    EXPECT_EQ(n.props().size(), int(std::size(values)));
    for (int i = 0; i < int(std::size(values)); ++i)
        EXPECT_EQ(n.props().value(QStringLiteral("p%1").arg(i)), values[i].isNull() ? QString("") : values[i]) << i;
    EXPECT_EQ(n.data(), node.data());
}

TEST_F(LumoXMLTest, ChildrenAreInsertedAtTheirIndex)
{
    LumoXML doc(QStringLiteral("n"));
    LumoXMLNode n = doc.root();
    n.addChild(QStringLiteral("p"), -1);
    n.addChild(QStringLiteral("q"), -1);
    struct Step {
        char const* name;
        int index;
        char const* after;
    };
    const Step steps[] = {{"c", 0, "c p q"}, {"d", 1, "c d p q"}, {"e", 4, "c d p q e"},
                          {"f", 99, "c d p q e f"}, {"g", -1, "c d p q e f g"}, {"h", 6, "c d p q e f h g"}};
    for (Step const& s : steps) {
        SCOPED_TRACE(s.name);
        LumoXMLNode child = n.addChild(QString::fromLatin1(s.name), s.index);
        EXPECT_EQ(childNames(n).join(QLatin1Char(' ')), QString::fromLatin1(s.after));
        EXPECT_EQ(child.parent().name(), QStringLiteral("n"));
        EXPECT_FALSE(child.isRoot());
        EXPECT_EQ(n.count(), childNames(n).size());
    }
    // Backwards through prev gives the same order.
    QStringList backwards;
    for (LumoXMLNode c = n.lastChild(); c.isValid(); c.gotoPrev())
        backwards.prepend(c.name());
    EXPECT_EQ(backwards, childNames(n));

    // Found by index and by name.
    EXPECT_EQ(n.child(2).name(), QStringLiteral("p"));
    EXPECT_FALSE(n.child(8).isValid());
    EXPECT_FALSE(n.child(-1).isValid());
    n.addChild(QStringLiteral("p"), -1).setData(QStringLiteral("second"));
    EXPECT_EQ(n.child(QStringLiteral("p"), 1).data(), QStringLiteral("second"));
    EXPECT_FALSE(n.child(QStringLiteral("p"), 2).isValid());
    EXPECT_FALSE(n.child(QStringLiteral("P"), 0).isValid());

    n.removeChild(QStringLiteral("p"), 1);
    n.removeChild(0);
    n.removeChild(42);
    n.removeChild(QStringLiteral("zz"), 0);
    EXPECT_EQ(childNames(n).join(QLatin1Char(' ')), QStringLiteral("d p q e f h g"));
}

TEST_F(LumoXMLTest, NodeDataKeepsItsChildList)
{
    LumoXMLNodeData* data = new LumoXMLNodeData(QStringLiteral("n"));
    LumoXMLNode n(data);
    data->addChild(QStringLiteral("a"), -1)->addChild(QStringLiteral("x"), 0);
    data->addChild(QStringLiteral("b"), 0);
    EXPECT_EQ(childNames(n), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(data->findChild(QStringLiteral("a"), 0), data->findChild(1));
    EXPECT_EQ(n.child(1).firstChild().name(), QStringLiteral("x"));
    EXPECT_EQ(data->findChild(2), nullptr);
    LumoXMLNodeData* copy = data->copy();
    EXPECT_EQ(LumoXMLNode(copy).toString(0), n.toString(0));
    EXPECT_TRUE(LumoXMLNode(copy).isRoot());
    data->removeChildren();
    EXPECT_EQ(n.count(), 0);
    EXPECT_FALSE(n.hasChildren());
    EXPECT_FALSE(n.firstChild().isValid());
    EXPECT_FALSE(n.lastChild().isValid());
    EXPECT_EQ(LumoXMLNode(copy).count(), 2);
    data->remove();
    copy->remove();
}

TEST_F(LumoXMLTest, NavigationAndRemoval)
{
    LumoXML doc = LumoXML::stringToXML(QStringLiteral("<r><a><x/></a><b/><c/></r>"));
    LumoXMLNode root = doc.root();
    EXPECT_TRUE(root.isRoot());
    EXPECT_FALSE(root.isOrphan());
    EXPECT_TRUE(LumoXML(QStringLiteral("lone")).root().isOrphan());

    LumoXMLNode h = root.lastChild();
    EXPECT_FALSE(h.gotoNext());
    EXPECT_FALSE(h.isValid());
    LumoXMLNode leaf = root.child(1);
    EXPECT_FALSE(leaf.gotoFirstChild());
    EXPECT_FALSE(leaf.isValid());
    LumoXMLNode x = root.firstChild().firstChild();
    EXPECT_TRUE(x.gotoParent());
    EXPECT_EQ(x.name(), QStringLiteral("a"));
    EXPECT_TRUE(x.gotoNext());
    EXPECT_EQ(x.name(), QStringLiteral("b"));
    EXPECT_TRUE(x.gotoPrev());
    EXPECT_TRUE(x.gotoLastChild());
    EXPECT_EQ(x.name(), QStringLiteral("x"));
    EXPECT_TRUE(x.gotoParent() && x.gotoParent());
    EXPECT_FALSE(x.gotoParent());

    // A root stays; a child goes with its subtree.
    LumoXMLNode r = root;
    r.remove();
    EXPECT_TRUE(r.isValid());
    EXPECT_EQ(doc.root().count(), 3);
    LumoXMLNode a = root.firstChild();
    a.remove();
    EXPECT_FALSE(a.isValid());
    EXPECT_EQ(root.count(), 2);
    EXPECT_EQ(childNames(root), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_FALSE(root.firstChild().prev().isValid());
    LumoXMLNode c = root.lastChild();
    c.remove();
    EXPECT_EQ(root.lastChild().name(), QStringLiteral("b"));
    EXPECT_FALSE(root.lastChild().next().isValid());
    EXPECT_EQ(root.toString(0), kDeclaration + "<r>\n\t<b/>\n</r>");
}

TEST_F(LumoXMLTest, PropertiesNameAndData)
{
    LumoXML doc(QStringLiteral("n"));
    LumoXMLNode n = doc.root();
    EXPECT_FALSE(n.hasProps());
    EXPECT_EQ(n.propGet(QStringLiteral("k")), QStringLiteral(""));
    EXPECT_TRUE(n.hasProps());
    EXPECT_EQ(n.toString(0), kDeclaration + "<n k=\"\"/>");
    n.propSet(QStringLiteral("k"), QStringLiteral("1"));
    n.propSet(QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_EQ(n.props().size(), 1);
    EXPECT_EQ(n.propGet(QStringLiteral("k")), QStringLiteral("2"));
    EXPECT_FALSE(n.hasData());
    n.setData(QStringLiteral("v"));
    EXPECT_TRUE(n.hasData());
    EXPECT_EQ(n.toString(1), QStringLiteral("\t<n k=\"2\">v</n>"));
    n.setName(QString());
    EXPECT_FALSE(doc.isValid());
}

TEST_F(LumoXMLTest, InvalidHandleDoesNothing)
{
    LumoXMLNode none;
    EXPECT_FALSE(none.isValid());
    EXPECT_TRUE(none.name().isNull());
    EXPECT_TRUE(none.data().isNull());
    EXPECT_TRUE(none.propGet(QStringLiteral("k")).isNull());
    EXPECT_EQ(&none.props(), &LumoXMLNode::null_props);
    none.setName(QStringLiteral("x"));
    none.setData(QStringLiteral("x"));
    none.propSet(QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_TRUE(LumoXMLNode::null_props.isEmpty());
    EXPECT_FALSE(none.hasProps() || none.hasData() || none.hasChildren() || none.isRoot() || none.isOrphan());
    EXPECT_EQ(none.count(), 0);
    EXPECT_FALSE(none.parent().isValid() || none.next().isValid() || none.prev().isValid() ||
                 none.firstChild().isValid() || none.lastChild().isValid() || none.child(0).isValid() ||
                 none.child(QStringLiteral("a"), 0).isValid());
    EXPECT_FALSE(none.addChild(QStringLiteral("a"), -1).isValid());
    LumoXML doc(QStringLiteral("d"));
    EXPECT_FALSE(none.addChild(doc.root(), -1).isValid());
    EXPECT_FALSE(doc.root().addChild(none, -1).isValid());
    EXPECT_EQ(doc.root().count(), 0);
    none.removeChild(0);
    none.remove();
    EXPECT_FALSE(none.gotoParent() || none.gotoFirstChild());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.xml"));
    EXPECT_FALSE(none.toFile(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(LumoXML().isValid());
    EXPECT_FALSE(LumoXML(none).isValid());
    EXPECT_TRUE(LumoXML(QStringLiteral("r")).isValid());
}

TEST_F(LumoXMLTest, CopiesAreDeepAndTakeNoParentOrSiblings)
{
    LumoXML doc = LumoXML::stringToXML(QStringLiteral("<r><a k='1'><x>t</x></a><b/></r>"));
    LumoXML sub(doc.root().firstChild());
    EXPECT_EQ(sub.root().toString(0), kDeclaration + "<a k=\"1\">\n\t<x>t</x>\n</a>");
    EXPECT_TRUE(sub.root().isRoot());
    EXPECT_FALSE(sub.root().next().isValid());
    sub.root().propSet(QStringLiteral("k"), QStringLiteral("2"));
    sub.root().firstChild().setData(QStringLiteral("changed"));
    EXPECT_EQ(doc.root().firstChild().propGet(QStringLiteral("k")), QStringLiteral("1"));
    EXPECT_EQ(doc.root().firstChild().firstChild().data(), QStringLiteral("t"));

    LumoXML copy(doc);
    copy.root().firstChild().remove();
    EXPECT_EQ(doc.root().count(), 2);
    LumoXML assigned;
    assigned = doc;
    EXPECT_EQ(assigned.root().toString(0), doc.root().toString(0));
    LumoXMLNode node = doc.root().child(1);
    assigned = node;
    EXPECT_EQ(assigned.root().toString(0), kDeclaration + "<b/>");
    assigned = LumoXMLNode();
    EXPECT_FALSE(assigned.isValid());
    assigned.clear();
    EXPECT_FALSE(assigned.isValid());
    EXPECT_EQ(assigned.root().count(), 0);
    EXPECT_EQ(LumoXMLNode(assigned).name(), assigned.root().name());
}

TEST_F(LumoXMLTest, DocumentTakesItselfOrItsOwnNodes)
{
    const QString text = QStringLiteral("<r><a k='1'><x>t</x></a><b/></r>");
    LumoXML doc = LumoXML::stringToXML(text);
    const QString before = doc.root().toString(0);
    LumoXML& same = doc;
    doc = same;
    EXPECT_EQ(doc.root().toString(0), before);
    doc = doc.root();
    EXPECT_EQ(doc.root().toString(0), before);
    LumoXMLNode a = doc.root().firstChild();
    doc = a;
    EXPECT_EQ(doc.root().toString(0), kDeclaration + "<a k=\"1\">\n\t<x>t</x>\n</a>");
    doc = doc.root().firstChild();
    EXPECT_EQ(doc.root().toString(0), kDeclaration + "<x>t</x>");

    // A node takes a copy of its own ancestor: the copy is made first.
    LumoXML tree = LumoXML::stringToXML(QStringLiteral("<r><c/></r>"));
    LumoXMLNode c = tree.root().firstChild();
    LumoXMLNode added = c.addChild(tree.root(), -1);
    EXPECT_EQ(tree.root().toString(0), kDeclaration + "<r>\n\t<c>\n\t\t<r>\n\t\t\t<c/>\n\t\t</r>\n\t</c>\n</r>");
    EXPECT_EQ(added.parent().name(), QStringLiteral("c"));
    EXPECT_EQ(c.addChild(c, 0).count(), 1);
    EXPECT_EQ(c.count(), 2);
}

TEST_F(LumoXMLTest, DumpLogsTheSerialisation)
{
    LumoXML doc(QStringLiteral("r"));
    doc.root().addChild(QStringLiteral("c"), -1);
    doc.root().dump();
    LumoXMLNode().dump();
    const auto messages = awaitTreeMessages(2);
    EXPECT_EQ(messages, (std::vector<std::string>{"6 <?xml version=\"1.0\"?>\n<r>\n\t<c/>\n</r>\n", "6 \n"}));
}

TEST_F(LumoXMLTest, FilesWriteAndRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    LumoXML doc(QStringLiteral("cfg"));
    doc.root().addChild(QStringLiteral("item"), -1).propSet(QStringLiteral("name"), QStringLiteral("caf\u00e9 & co"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'z'));
    old.close();

    ASSERT_TRUE(doc.root().toFile(path));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(),
              QByteArray("<?xml version=\"1.0\"?>\n<cfg>\n\t<item name=\"caf\xe9 &amp; co\"/>\n</cfg>"));
    const LumoXML back = LumoXML::fileToXML(path);
    EXPECT_EQ(back.root().toString(0), doc.root().toString(0));

    // A NUL ends the text.
    QFile nul(dir.filePath(QStringLiteral("nul.xml")));
    ASSERT_TRUE(nul.open(QIODevice::WriteOnly));
    nul.write(QByteArray("<a>x</a>\0<b", 11));
    nul.close();
    EXPECT_TRUE(LumoXML::fileToXML(nul.fileName()).isValid());

    EXPECT_FALSE(doc.root().toFile(dir.filePath(QStringLiteral("missing/doc.xml"))));
    EXPECT_FALSE(LumoXML::fileToXML(dir.filePath(QStringLiteral("missing.xml"))).isValid());
    EXPECT_TRUE(awaitTreeMessages(0).empty());
}

TEST_F(LumoXMLTest, WriteThatDoesNotReachTheFileIsFalse)
{
    LumoXML small(QStringLiteral("a"));
    EXPECT_FALSE(small.root().toFile(QStringLiteral("/dev/full")));
    LumoXML big(QStringLiteral("a"));
    big.root().setData(QString(200000, QLatin1Char('x')));
    EXPECT_FALSE(big.root().toFile(QStringLiteral("/dev/full")));
    EXPECT_TRUE(small.root().toFile(QStringLiteral("/dev/null")));
}

TEST_F(LumoXMLTest, EndlessFileIsRefused)
{
    EXPECT_FALSE(LumoXML::fileToXML(QStringLiteral("/dev/zero")).isValid());
    EXPECT_EQ(awaitTreeMessages(1), std::vector<std::string>{"3 /dev/zero: larger than 67108864 bytes\n"});
}

TEST_F(LumoXMLTest, DeepTreesNeedNoRecursion)
{
    const int depth = 100000;
    QString text;
    text.reserve(depth * 8);
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("<n i='1'>");
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("</n>");
    LumoXML doc = LumoXML::stringToXML(text);
    ASSERT_TRUE(doc.isValid());
    LumoXML copy(doc);
    int levels = 0;
    for (LumoXMLNode n = copy.root(); n.isValid(); n.gotoFirstChild())
        ++levels;
    EXPECT_EQ(levels, depth);
    doc.root().firstChild().remove();
    EXPECT_EQ(doc.root().count(), 0);

    // Serialisation walks without recursion too (kept shallower: the
    // indentation grows with the square of the depth).
    LumoXML chain(QStringLiteral("n"));
    LumoXMLNode at = chain.root();
    for (int i = 1; i < 2000; ++i)
        at = at.addChild(QStringLiteral("n"), -1);
    const QString serialised = chain.root().toString(0);
    EXPECT_TRUE(serialised.endsWith(QStringLiteral("\n</n>")));
    EXPECT_TRUE(LumoXML::stringToXML(serialised).isValid());
}

} // namespace
