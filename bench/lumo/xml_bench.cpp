// The XML reader on generated documents (10 KB config-like, 10 MB of many
// small elements, 10 MB text-heavy): parse events with no-op hooks against
// expat with no-op handlers, and tree building against pugixml, when those
// are installed (compare_pool_xml.sh installs them).
#include <benchmark/benchmark.h>

#include <string>

#include <QByteArray>
#include <QString>

#include "lumo/lumoxml.h"
#include "lumo/lumoxmlparser.h"

#ifdef LUMO_BENCH_EXPAT
#include <expat.h>
#endif
#ifdef LUMO_BENCH_PUGIXML
#include <pugixml.hpp>
#endif

namespace {

const int kSmall = 10 * 1024;
const int kLarge = 10 * 1024 * 1024;

QByteArray configLike()
{
    QByteArray d = "<?xml version=\"1.0\"?>\n<!-- generated configuration -->\n<config version=\"3\" name=\"box\">\n";
    for (int s = 0; d.size() < kSmall - 200; ++s) {
        d += "  <section name=\"section" + QByteArray::number(s) + "\" enabled=\"true\">\n";
        for (int p = 0; p < 6; ++p)
            d += "    <param key=\"key" + QByteArray::number(p) + "\" type=\"int\" min=\"0\" max=\"100\">" +
                 QByteArray::number(s * 7 + p) + "</param>\n";
        d += "    <!-- limits &amp; defaults -->\n    <note>value &lt; max &amp;&amp; value &gt; min</note>\n";
        d += "  </section>\n";
    }
    return d + "</config>\n";
}

QByteArray manySmallElements()
{
    QByteArray d = "<?xml version=\"1.0\"?>\n<list>\n";
    for (int i = 0; d.size() < kLarge - 100; ++i)
        d += "  <item id=\"" + QByteArray::number(i) + "\" kind=\"k" + QByteArray::number(i % 13) + "\" value=\"" +
             QByteArray::number(i * 31 % 1000) + "\"/>\n";
    return d + "</list>\n";
}

QByteArray textHeavy()
{
    const QByteArray sentence = "The quick brown fox jumps over the lazy dog while the cat &amp; the mouse watch; "
                                "a &lt; b and c &gt; d hold for every frame of the stream. ";
    QByteArray d = "<?xml version=\"1.0\"?>\n<book title=\"generated\">\n";
    for (int i = 0; d.size() < kLarge - 2000; ++i) {
        d += "  <p id=\"" + QByteArray::number(i) + "\">";
        for (int s = 0; s < 8; ++s)
            d += sentence;
        d += "</p>\n";
    }
    return d + "</book>\n";
}

QByteArray const& document(int which)
{
    static const QByteArray docs[] = {configLike(), manySmallElements(), textHeavy()};
    return docs[which];
}

char const* const kNames[] = {"10 KB config", "10 MB small elements", "10 MB text"};

void finish(benchmark::State& state, int which)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * document(which).size());
    state.SetLabel(kNames[which]);
}

void BM_EventsLumo(benchmark::State& state)
{
    const int which = int(state.range(0));
    QByteArray const& doc = document(which);
    LumoXMLParser parser; // the base hooks do nothing
    for (auto _ : state)
        if (!parser.parse(doc))
            state.SkipWithError("parse failed");
    finish(state, which);
}
BENCHMARK(BM_EventsLumo)->DenseRange(0, 2);

void BM_TreeLumoBytes(benchmark::State& state)
{
    const int which = int(state.range(0));
    QByteArray const& doc = document(which);
    for (auto _ : state) {
        LumoXML xml;
        LumoXMLTreeParser parser(xml.root());
        if (!parser.parse(doc) || !xml.isValid())
            state.SkipWithError("parse failed");
    }
    finish(state, which);
}
BENCHMARK(BM_TreeLumoBytes)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_TreeLumoString(benchmark::State& state)
{
    const int which = int(state.range(0));
    const QString text = QString::fromLatin1(document(which));
    for (auto _ : state)
        if (!LumoXML::stringToXML(text).isValid())
            state.SkipWithError("parse failed");
    finish(state, which);
}
BENCHMARK(BM_TreeLumoString)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

#ifdef LUMO_BENCH_EXPAT
void XMLCALL onStart(void*, XML_Char const*, XML_Char const**) {}
void XMLCALL onEnd(void*, XML_Char const*) {}
void XMLCALL onText(void*, XML_Char const*, int) {}

void BM_EventsExpat(benchmark::State& state)
{
    const int which = int(state.range(0));
    QByteArray const& doc = document(which);
    for (auto _ : state) {
        XML_Parser p = XML_ParserCreate(nullptr);
        XML_SetElementHandler(p, onStart, onEnd);
        XML_SetCharacterDataHandler(p, onText);
        if (XML_Parse(p, doc.constData(), doc.size(), 1) != XML_STATUS_OK)
            state.SkipWithError("expat failed");
        XML_ParserFree(p);
    }
    finish(state, which);
}
BENCHMARK(BM_EventsExpat)->DenseRange(0, 2);
#endif

#ifdef LUMO_BENCH_PUGIXML
void BM_TreePugixml(benchmark::State& state)
{
    const int which = int(state.range(0));
    QByteArray const& doc = document(which);
    for (auto _ : state) {
        pugi::xml_document xml;
        if (!xml.load_buffer(doc.constData(), size_t(doc.size())))
            state.SkipWithError("pugixml failed");
    }
    finish(state, which);
}
BENCHMARK(BM_TreePugixml)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
