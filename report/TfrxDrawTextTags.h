#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

namespace qev {

// Attributes of one character of a wrapped line, as the markup left them.
struct TfrxHTMLTag {
    enum SubType { ssNormal, ssSubscript, ssSuperscript };

    int Position = 0;    // 1-based index of the character in the plain text
    int Size = 0;        // points
    int AddY = 0;        // 1 for subscript
    unsigned Style = 0;  // FontDesc::Style bits
    quint32 Color = 0;
    bool Default = true;  // nothing to change before this character
    bool Small = false;   // size differs from the default size
    bool DontWRAP = false;
    SubType SubType_ = ssNormal;

    bool sameLook(const TfrxHTMLTag& o) const {
        return Size == o.Size && AddY == o.AddY && Style == o.Style && Color == o.Color &&
               SubType_ == o.SubType_;
    }
};

using TfrxHTMLTags = std::vector<TfrxHTMLTag>;

// Per-character records of every wrapped line plus the running state of the
// markup parser. With tags off every character simply gets the defaults.
class TfrxHTMLTagsList {
  public:
    bool AllowTags() const { return FAllowTags; }
    void SetAllowTags(bool allow) { FAllowTags = allow; }

    // Starts a new layout: no lines, defaults as given, position 1.
    void Init(quint32 defColor, int defSize, unsigned defStyle);
    // Parses one source line: removes the tags from text (when allowed) and
    // returns one record per remaining character; the running position then
    // skips the line's CR LF.
    TfrxHTMLTags ExpandHTMLTags(QString& text);
    // The text with its tags removed (when tags are allowed), state untouched.
    QString DeleteTags(const QString& text) const;

    std::vector<TfrxHTMLTags>& lines() { return FLines; }
    const std::vector<TfrxHTMLTags>& lines() const { return FLines; }
    int position() const { return FPosition; }

  private:
    struct State {
        quint32 color = 0;
        int size = 10;
        unsigned style = 0;
        int addY = 0;
        bool dontWrap = false;
        TfrxHTMLTag::SubType subType = TfrxHTMLTag::ssNormal;
    };
    // Length of the tag starting at text[at] (applied to state), or 0 when the
    // text there is not a tag.
    int applyTag(const QString& text, int at, State& state) const;
    TfrxHTMLTags parse(QString& text, State& state, int& position) const;

    bool FAllowTags = false;
    quint32 FDefColor = 0;
    int FDefSize = 10;
    unsigned FDefStyle = 0;
    State FState;
    int FPosition = 1;
    std::vector<TfrxHTMLTags> FLines;
};

// Colour of a colour name without its "cl" prefix ("Red", "aqua"); false when
// the colour table does not know it.
bool colorFromName(const QString& name, quint32* color);

}  // namespace qev
