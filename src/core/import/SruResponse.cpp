#include "import/SruResponse.h"

#include "text/CpLiteral.h"

#include <expat.h>

#include <charconv>
#include <cstring>
#include <memory>

namespace velt {

namespace {

constexpr char kSeparator = '|';
constexpr std::string_view kMarcNamespace = "http://www.loc.gov/MARC21/slim";

// A name of the parser: the namespace and the local name.
struct Name {
    std::string_view space, local;
};

Name Split(const char* name) {
    const std::string_view n(name);
    const auto bar = n.rfind(kSeparator);
    if (bar == std::string_view::npos) return {{}, n};
    return {n.substr(0, bar), n.substr(bar + 1)};
}

const char* Attribute(const char** attributes, std::string_view wanted) {
    for (int i = 0; attributes[i]; i += 2)
        if (Split(attributes[i]).local == wanted && Split(attributes[i]).space.empty()) return attributes[i + 1];
    return nullptr;
}

long long Count(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    long long n = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 0) return -1;
    return n;
}

// The reader's state over one document. The elements that matter are
// recognised by their local names (SRU 1.1 and 1.2 differ in namespaces
// only); a MARC record is a "record" in the MARC namespace, or without a
// namespace where a record is expected (a bare MARCXML document or an SRU
// record's data).
class Reader {
public:
    explicit Reader(bool marcOnly) : mMarcOnly(marcOnly) {}

    SruResponse Read(std::string_view xml) {
        std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreateNS("UTF-8", kSeparator),
                                                                             &XML_ParserFree);
        if (!parser) {
            mResult.error = "Brak pamięci na odpowiedź XML"_cp;
            return std::move(mResult);
        }
        mParser = parser.get();
        XML_SetUserData(mParser, this);
        XML_SetElementHandler(mParser, &Reader::Start, &Reader::End);
        XML_SetCharacterDataHandler(mParser, &Reader::OnText);
        // A document type's entities are not expanded: a server has no need of them.
        XML_SetEntityDeclHandler(mParser, &Reader::Entity);
        std::size_t at = 0;
        bool ok = true;
        do {
            // expat takes lengths as int: the document goes in slices.
            const std::size_t n = std::min<std::size_t>(xml.size() - at, 1 << 24);
            const bool last = at + n == xml.size();
            ok = XML_Parse(mParser, xml.data() + at, static_cast<int>(n), last) == XML_STATUS_OK;
            at += n;
        } while (ok && at < xml.size());
        if (!ok && mResult.error.empty())
            mResult.error = "Błąd w odpowiedzi XML (wiersz "_cp + std::to_string(XML_GetCurrentLineNumber(mParser)) +
                            "): " + XML_ErrorString(XML_GetErrorCode(mParser));
        if (!mResult.error.empty()) {
            mResult.records.clear();
            mResult.terms.clear();
        }
        return std::move(mResult);
    }

private:
    enum class Text { None, Leader, Control, Subfield, Count, Position, Message, Details, TermValue, TermDisplay, TermCount };

    void Stop(const std::string& error) {
        if (mResult.error.empty()) mResult.error = error;
        XML_StopParser(mParser, XML_FALSE);
    }

    static void XMLCALL Entity(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                               const XML_Char*, const XML_Char*) {
        static_cast<Reader*>(self)->Stop("Odpowiedź XML deklaruje encje"_cp);
    }

    static void XMLCALL Start(void* self, const char* name, const char** attributes) {
        static_cast<Reader*>(self)->OnStart(Split(name), attributes);
    }
    static void XMLCALL End(void* self, const char* name) { static_cast<Reader*>(self)->OnEnd(Split(name)); }
    static void XMLCALL OnText(void* self, const char* text, int length) {
        auto* r = static_cast<Reader*>(self);
        if (r->mText != Text::None) r->mBuffer.append(text, static_cast<std::size_t>(length));
    }

    // The text of the element just begun is collected (until it ends).
    void Collect(Text kind) {
        mText = kind;
        mTextDepth = mDepth;
        mBuffer.clear();
    }
    // The kind of text the element ending now collected; None for any other
    // element (one nested where text was expected, which takes nothing).
    Text Collected() {
        const Text kind = mDepth + 1 == mTextDepth ? mText : Text::None;
        if (kind != Text::None) mText = Text::None;
        return kind;
    }

    void OnStart(Name n, const char** attributes) {
        if (++mDepth > kXmlMaxDepth) return Stop("Odpowiedź XML jest zagnieżdżona zbyt głęboko"_cp);
        // An element inside one whose text was being read: that text is
        // nobody's (what it was for may have changed under it).
        mText = Text::None;
        if (mInMarc) return MarcStart(n, attributes);
        const bool marcPlace = mMarcOnly || mRecordDataDepth == mDepth - 1;
        if (n.local == "record" && (n.space == kMarcNamespace || (n.space.empty() && marcPlace))) {
            if (mResult.records.size() >= kXmlMaxRecords) return Stop("Odpowiedź XML ma zbyt wiele rekordów"_cp);
            if (!mSruRecord) {
                mResult.records.emplace_back();
                mResult.records.back().position = static_cast<long long>(mResult.records.size());
            }
            mInMarc = true;
            mMarcDepth = mDepth;
            return;
        }
        if (mMarcOnly) return;
        if (n.local == "record" && mRecordDataDepth == 0) {
            if (mResult.records.size() >= kXmlMaxRecords) return Stop("Odpowiedź XML ma zbyt wiele rekordów"_cp);
            mResult.records.emplace_back();
            mSruRecord = true;
        } else if (n.local == "recordData" && mSruRecord) {
            mRecordDataDepth = mDepth;
        } else if (n.local == "numberOfRecords") {
            Collect(mInTerm ? Text::TermCount : Text::Count);
        } else if (n.local == "recordPosition" && mSruRecord) {
            Collect(Text::Position);
        } else if (n.local == "diagnostic") {
            mMessage.clear();
            mDetails.clear();
        } else if (n.local == "message") {
            Collect(Text::Message);
        } else if (n.local == "details") {
            Collect(Text::Details);
        } else if (n.local == "term") {
            if (mResult.terms.size() >= kXmlMaxRecords) return Stop("Odpowiedź XML ma zbyt wiele haseł"_cp);
            mResult.terms.emplace_back();
            mInTerm = true;
        } else if (n.local == "value" && mInTerm) {
            Collect(Text::TermValue);
        } else if (n.local == "displayTerm" && mInTerm) {
            Collect(Text::TermDisplay);
        }
    }

    void OnEnd(Name n) {
        --mDepth;
        if (mInMarc) return MarcEnd(n);
        switch (Collected()) {
            case Text::Count:
                if (mDepth <= 2) mResult.numberOfRecords = Count(mBuffer);
                return;
            case Text::TermCount: mResult.terms.back().count = Count(mBuffer); return;
            case Text::Position: mResult.records.back().position = std::max(0LL, Count(mBuffer)); return;
            case Text::Message: mMessage = mBuffer; return;
            case Text::Details: mDetails = mBuffer; return;
            case Text::TermValue: mResult.terms.back().value = mBuffer; return;
            case Text::TermDisplay: mResult.terms.back().display = mBuffer; return;
            default: break;
        }
        if (mMarcOnly) return;
        if (n.local == "diagnostic") {
            std::string text = mMessage.empty() ? "Diagnostyka SRU"_cp : mMessage;
            if (!mDetails.empty()) text += ": " + mDetails;
            // A diagnostic in a record's place stands for that record.
            if (mRecordDataDepth > 0 && mSruRecord) {
                mResult.records.back().diagnostic = true;
                mResult.records.back().text = text;
            } else {
                mResult.diagnostics.push_back(text);
            }
        } else if (n.local == "recordData" && mDepth + 1 == mRecordDataDepth) {
            mRecordDataDepth = 0;
        } else if (n.local == "record" && mSruRecord && mRecordDataDepth == 0) {
            mSruRecord = false;
        } else if (n.local == "term") {
            mInTerm = false;
        }
    }

    MarcData& Marc() { return mResult.records.back().marc; }

    void MarcStart(Name n, const char** attributes) {
        MarcData& m = Marc();
        // Fields are the record's children, subfields a data field's: an
        // element anywhere else is not read (nor what it holds).
        const bool child = mDepth == mMarcDepth + 1;
        if (!child && !(n.local == "subfield" && mInDataField && mDepth == mMarcDepth + 2)) return;
        if (n.local == "leader") {
            Collect(Text::Leader);
        } else if (n.local == "controlfield" || n.local == "datafield") {
            if (m.fields.size() >= kMarcXmlMaxFields) return Stop("Rekord MARCXML ma zbyt wiele pól"_cp);
            MarcField f;
            const char* tag = Attribute(attributes, "tag");
            f.tag = tag ? tag : "";
            if (f.tag.size() != 3) return Stop("Rekord MARCXML ma pole bez znacznika"_cp);
            if (n.local == "datafield") {
                const char* i1 = Attribute(attributes, "ind1");
                const char* i2 = Attribute(attributes, "ind2");
                f.ind1 = i1 && std::strlen(i1) == 1 ? i1[0] : ' ';
                f.ind2 = i2 && std::strlen(i2) == 1 ? i2[0] : ' ';
                mInDataField = true;
            } else {
                Collect(Text::Control);
            }
            m.fields.push_back(std::move(f));
        } else if (n.local == "subfield" && mInDataField) {
            MarcField& f = m.fields.back();
            if (f.subfields.size() >= kMarcXmlMaxSubfields) return Stop("Pole MARCXML ma zbyt wiele podpól"_cp);
            const char* code = Attribute(attributes, "code");
            // A code is one ASCII character; anything else keeps the subfield readable as "?".
            f.subfields.push_back({code && std::strlen(code) == 1 ? code[0] : '?', {}});
            Collect(Text::Subfield);
        }
    }

    void MarcEnd(Name n) {
        MarcData& m = Marc();
        switch (Collected()) {
            case Text::Leader: m.leader = mBuffer.substr(0, 24); break;
            case Text::Control: m.fields.back().data = mBuffer; break;
            case Text::Subfield: m.fields.back().subfields.back().data = mBuffer; break;
            default: break;
        }
        if (n.local == "datafield") mInDataField = false;
        // The tag says what a field is (00X control fields, the rest data
        // fields), whatever element brought it: nothing of it is lost.
        if ((n.local == "datafield" || n.local == "controlfield") && !m.fields.empty()) {
            MarcField& f = m.fields.back();
            if (f.IsControl() && !f.subfields.empty()) {
                for (const MarcSubfield& s : f.subfields) f.data += s.data;
                f.subfields.clear();
            } else if (!f.IsControl() && !f.data.empty()) {
                f.subfields.insert(f.subfields.begin(), {'a', std::move(f.data)});
                f.data.clear();
            }
        }
        if (mDepth + 1 == mMarcDepth) mInMarc = false;
    }

    const bool mMarcOnly;
    XML_Parser mParser = nullptr;
    SruResponse mResult;
    int mDepth = 0;
    bool mInMarc = false;
    int mMarcDepth = 0;
    bool mInDataField = false;
    bool mSruRecord = false;
    int mRecordDataDepth = 0;
    bool mInTerm = false;
    Text mText = Text::None;
    int mTextDepth = 0;
    std::string mBuffer, mMessage, mDetails;
};

}  // namespace

SruResponse ReadSruResponse(std::string_view xml) { return Reader(false).Read(xml); }

SruResponse ReadMarcXml(std::string_view xml) { return Reader(true).Read(xml); }

}  // namespace velt
