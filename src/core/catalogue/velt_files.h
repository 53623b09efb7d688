#pragma once
// The client's picture of one catalogue server: it owns the session and
// holds, read from the server's status, the lists that drive the user
// interface — indexes, display formats, reports, search criteria, sort keys,
// server programs, filters and authority files — converts record
// identifiers for the server's database kind, and answers the lookups the
// scripts make of the server (LAST, SELECT, REFERENCES, CFG).
//
// A reload frees every item: nothing may keep an item pointer across a login
// or a logout.

#include "catalogue/DescriptorItems.h"
#include "catalogue/Identifiers.h"
#include "catalogue/velt_order.h"
#include "lang/ScriptLookups.h"
#include "net/TVeltClient.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class velt_files : public ScriptLookups {
public:
    // Connects and reads the status; loads the descriptor when asked. Ready
    // tells whether it worked, ErrorText why not.
    velt_files(const std::string& host, MessageCallback onMessage, bool loadDescriptor, int port);
    // Over a session made elsewhere (tests).
    velt_files(std::unique_ptr<TVeltClient> session, bool loadDescriptor);
    // Destroys the session first (it says goodbye), then the lists.
    ~velt_files() override;

    // (Re)reads every list from the session's status.
    void LoadDescriptor();
    // A number no other reading of any descriptor in this process has: what
    // was built from a descriptor knows by it whether the descriptor is new
    // (an address may come back for another catalogue).
    std::uint64_t Generation() const { return mGeneration; }
    void ClearDescriptor();
    // Sets the format of every index cursor and CurrentFormat.
    void SetFormat(std::int32_t format);

    RecordPtr IndexFrom(std::int32_t kind, std::int32_t parameter, std::int32_t format, const std::string& prefix);
    RecordPtr IndexSeek(std::int32_t kind, std::int32_t parameter, std::int32_t format, const std::string& key,
                        const std::string& prefix);
    // The entry after record in its index; none without a record.
    RecordPtr IndexNext(std::int32_t parameter, const TVeltRecord* record, std::int32_t format,
                        const std::string& prefix);
    RecordPtr IndexPrior(std::int32_t parameter, const TVeltRecord* record, std::int32_t format,
                         const std::string& prefix);
    RecordPtr IndexLast(std::int32_t kind, std::int32_t parameter, std::int32_t format, const std::string& prefix);

    std::int32_t RecordNumber(std::string_view identifier) const { return Rules().RecordNumber(identifier); }
    std::string RecordIdentifier(std::int32_t number) const { return Rules().RecordIdentifier(number); }
    std::string ShownIdentifier(std::string_view identifier) const { return Rules().ShownIdentifier(identifier); }
    std::string StoredIdentifier(std::string_view typed) const { return Rules().StoredIdentifier(typed); }
    // The identifier conversions of this database kind and prefix letters.
    IdentifierRules Rules() const;

    // The Id of the first format of that type; 0 when none.
    std::int32_t FormatByType(const std::string& type) const;
    // The first format with that Id, or none.
    const velt_format* FormatById(std::int32_t id) const;
    // The first program whose Call is name or begins with name and "|".
    const velt_programm* ProgramByCall(const std::string& name) const;
    // The index cursor of that name, or none.
    velt_order* IndexByName(const std::string& name) const;
    // The record identifier an index entry stands for.
    std::string EntryText(const TVeltRecord* record) const;
    // The item of an index entry holding its display text (0 when the kind has none).
    static int DisplayItem(std::uint32_t kind);

    // The scripts' lookups (catalogue/CatalogueLookups.cpp); on a VELT1
    // catalogue LAST, SELECT and REFERENCES find nothing.
    std::string Last(const std::string& key) override;
    std::string Select(const std::string& kinds, const std::string& start, const std::string& pattern) override;
    std::string References(const std::string& id, const std::string& kinds) override;
    std::string Config(const std::string& name) override { return Parameter(name); }

    // True when ErrorText is the session's failure, which the session has
    // already handed to its message callback: the owner shows nothing more.
    bool ErrorReported() const {
        return mSession->FailureReported() && ErrorText == mSession->ErrorText();
    }

    // What the catalogue's session says of itself.
    bool Broken() const { return mSession->Broken(); }
    // The first failure of the connection (empty while it is sound).
    std::string ConnectionError() const { return mSession->ErrorText(); }
    std::string Parameter(std::string_view name) const { return mSession->Parameter(name); }
    bool VersionAtLeast(std::string_view date) const { return mSession->VersionAtLeast(date); }
    bool LoggedIn() const { return mSession->LoggedIn(); }
    const std::string& UserName() const { return mSession->UserName(); }
    const std::string& Rights() const { return mSession->Rights(); }
    const std::string& Profile() const { return mSession->Profile(); }
    // The connection the request modules (net/...Requests.h) and the login
    // flow work on; the catalogue owns it for its whole life.
    TVeltClient& Connection() const { return *mSession; }

    bool Ready = false;
    std::string ErrorText;
    std::string Host;
    int Port = 0;
    std::int32_t EditLevel = 0;
    std::uint8_t DatabaseKind = 0;
    std::vector<velt_criterium> Criteria;
    std::vector<std::string> SortKeys;
    std::vector<std::string> ComponentSortKeys;
    std::vector<std::unique_ptr<velt_order>> Indexes;
    std::vector<velt_format> Formats;
    std::vector<velt_report> Reports;
    std::vector<velt_programm> Programs;
    std::vector<velt_filter> Filters;
    bool NewKHW = false;
    std::vector<velt_KHW> AuthorityFiles;
    std::vector<AttachmentNames> Attachments;
    std::int32_t CurrentFormat = 0;
    std::string LoadedProfile;
    std::int32_t RemoteCollection = 0;

private:
    std::uint64_t mGeneration = 0;
    void Start(bool loadDescriptor);

    std::unique_ptr<TVeltClient> mSession;  // never none
    // Walks one of the server's tables when there is no descriptor text.
    template <typename Visit>
    void WalkTable(std::uint8_t kind, std::int32_t parameter, const std::string& prefix, Visit visit);
};

}  // namespace velt
