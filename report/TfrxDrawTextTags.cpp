#include "report/TfrxDrawTextTags.h"

#include "report/FontMeasure.h"
#include "report/GraphicUtils.h"

#include <array>
#include <utility>

namespace qev {

bool colorFromName(const QString& name, quint32* color) {
    // The named colours of the report classes, 0x00BBGGRR.
    static const std::array<std::pair<const char*, quint32>, 24> table{{
        {"clBlack", 0x000000},  {"clMaroon", 0x000080},     {"clGreen", 0x008000},
        {"clOlive", 0x008080},  {"clNavy", 0x800000},       {"clPurple", 0x800080},
        {"clTeal", 0x808000},   {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},    {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},  {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
        {"clCream", 0xF0FBFF},  {"clMedGray", 0xA4A0A0},    {"clLtGray", 0xC0C0C0},
        {"clDkGray", 0x808080}, {"clNone", 0x1FFFFFFF},     {"clDefault", 0x20000000},
    }};
    const QString wanted = QStringLiteral("cl") + name;
    for (const auto& [colorName, value] : table) {
        if (wanted.compare(QLatin1String(colorName), Qt::CaseInsensitive) == 0) {
            *color = value;
            return true;
        }
    }
    return false;
}

void TfrxHTMLTagsList::Init(quint32 defColor, int defSize, unsigned defStyle) {
    FDefColor = defColor;
    FDefSize = defSize;
    FDefStyle = defStyle;
    FState = State{defColor, defSize, defStyle, 0, false, TfrxHTMLTag::ssNormal};
    FPosition = 1;
    FLines.clear();
}

namespace {

bool startsWithAt(const QString& text, int at, QLatin1String tag) {
    return QStringView(text).mid(at, tag.size()).compare(tag, Qt::CaseInsensitive) == 0;
}

// "<font color=" value ">": "#RRGGBB" in double quotes or a colour name.
bool parseFontColor(QStringView value, quint32* color) {
    if (value.size() >= 3 && value.startsWith(u"\"#") && value.endsWith(u'"')) {
        bool ok = false;
        const uint rgb = value.mid(2, value.size() - 3).toUInt(&ok, 16);
        if (!ok || value.size() == 3) return false;
        *color = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
        return true;
    }
    return colorFromName(value.toString(), color);
}

}  // namespace

int TfrxHTMLTagsList::applyTag(const QString& text, int at, State& state) const {
    struct Simple {
        const char* tag;
        void (*apply)(State&, int defSize);
    };
    static const Simple simple[] = {
        {"<b>", [](State& s, int) { s.style |= FontDesc::Bold; }},
        {"</b>", [](State& s, int) { s.style &= ~unsigned(FontDesc::Bold); }},
        {"<i>", [](State& s, int) { s.style |= FontDesc::Italic; }},
        {"</i>", [](State& s, int) { s.style &= ~unsigned(FontDesc::Italic); }},
        {"<u>", [](State& s, int) { s.style |= FontDesc::Underline; }},
        {"</u>", [](State& s, int) { s.style &= ~unsigned(FontDesc::Underline); }},
        {"<strike>", [](State& s, int) { s.style |= FontDesc::StrikeOut; }},
        {"</strike>", [](State& s, int) { s.style &= ~unsigned(FontDesc::StrikeOut); }},
        {"<sub>",
         [](State& s, int def) {
             s.size = rnd(def / 1.5);
             s.addY = 1;
             s.subType = TfrxHTMLTag::ssSubscript;
         }},
        {"<sup>",
         [](State& s, int def) {
             s.size = rnd(def / 1.5);
             s.addY = 0;
             s.subType = TfrxHTMLTag::ssSuperscript;
         }},
        {"</sub>",
         [](State& s, int def) {
             s.size = def;
             s.addY = 0;
             s.subType = TfrxHTMLTag::ssNormal;
         }},
        {"</sup>",
         [](State& s, int def) {
             s.size = def;
             s.addY = 0;
             s.subType = TfrxHTMLTag::ssNormal;
         }},
        {"<nowrap>", [](State& s, int) { s.dontWrap = true; }},
        {"</nowrap>", [](State& s, int) { s.dontWrap = false; }},
    };
    for (const auto& entry : simple) {
        const QLatin1String tag(entry.tag);
        if (startsWithAt(text, at, tag)) {
            entry.apply(state, FDefSize);
            return int(tag.size());
        }
    }
    if (startsWithAt(text, at, QLatin1String("</font>"))) {
        state.color = FDefColor;
        return 7;
    }
    const QLatin1String fontTag("<font color=");
    if (startsWithAt(text, at, fontTag)) {
        const int close = int(text.indexOf(u'>', at + fontTag.size()));
        if (close < 0) return 0;
        const QStringView value =
            QStringView(text).mid(at + fontTag.size(), close - at - fontTag.size()).trimmed();
        quint32 color = 0;
        if (!parseFontColor(value, &color)) return 0;
        state.color = color;
        return close - at + 1;
    }
    return 0;
}

TfrxHTMLTags TfrxHTMLTagsList::parse(QString& text, State& state, int& position) const {
    TfrxHTMLTags records;
    records.reserve(text.size());
    if (!FAllowTags) {  // every character has the defaults: nothing to parse
        TfrxHTMLTag tag;
        tag.Size = FDefSize;
        tag.Style = FDefStyle;
        tag.Color = FDefColor;
        for (qsizetype i = 0; i < text.size(); ++i) {
            tag.Position = position++;
            records.push_back(tag);
        }
        return records;
    }
    QString plain;
    plain.reserve(text.size());
    for (int i = 0; i < text.size();) {
        if (FAllowTags && text[i] == u'<') {
            if (const int length = applyTag(text, i, state)) {
                i += length;
                position += length;
                continue;
            }
        }
        TfrxHTMLTag tag;
        tag.Position = position;
        tag.Size = state.size;
        tag.AddY = state.addY;
        tag.Style = state.style;
        tag.Color = state.color;
        tag.Small = state.size != FDefSize;
        tag.DontWRAP = state.dontWrap;
        tag.SubType_ = state.subType;
        // A record is "default" when nothing changes at it: the first
        // character against the defaults, every other against the one before.
        if (records.empty()) {
            TfrxHTMLTag defaults;
            defaults.Size = FDefSize;
            defaults.Style = FDefStyle;
            defaults.Color = FDefColor;
            tag.Default = tag.sameLook(defaults);
        } else {
            tag.Default = tag.sameLook(records.back());
        }
        records.push_back(tag);
        plain += text[i];
        ++i;
        ++position;
    }
    text = plain;
    return records;
}

TfrxHTMLTags TfrxHTMLTagsList::ExpandHTMLTags(QString& text) {
    TfrxHTMLTags records = parse(text, FState, FPosition);
    FPosition += 2;  // the line's CR LF
    return records;
}

QString TfrxHTMLTagsList::DeleteTags(const QString& text) const {
    if (!FAllowTags) return text;
    QString copy = text;
    State state{FDefColor, FDefSize, FDefStyle, 0, false, TfrxHTMLTag::ssNormal};
    int position = 1;
    parse(copy, state, position);
    return copy;
}

}  // namespace qev
