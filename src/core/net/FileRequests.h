#pragma once
// Reports and files: the report requests (100) and the file request (120)
// answer with a file transfer written into a target file; the attachments of
// a record (220) are listed, fetched, added and deleted.

#include "net/TVeltClient.h"

namespace velt {

// 100/1 or, with parameters, 100/6: the report of a remote collection.
bool CollectionReport(TVeltClient& session, std::int32_t collection, std::int32_t report,
                      const std::string& parameters, const std::string& target, const ProgressCallback& progress);
// 100/2 or, with parameters, 100/7; records: identifiers each followed by "|".
bool ListReport(TVeltClient& session, std::int32_t report, const std::string& parameters,
                const std::string& records, const std::string& target, const ProgressCallback& progress);
// 100/3: a report of its parameters only.
bool ParameterReport(TVeltClient& session, std::int32_t report, const std::string& parameters,
                     const std::string& target, const ProgressCallback& progress);
// 120/1: a file of the server by its designation.
bool GetFile(TVeltClient& session, const std::string& designation, const std::string& target,
             const ProgressCallback& progress);

// 220 L and F: the record's attachments, and the names it may have ("|"-lists);
// a failure's text as the text requests give it.
std::string AttachmentList(TVeltClient& session, const std::string& id);
std::string AttachmentKinds(TVeltClient& session, const std::string& id);
// 220 G: the attachment into target.
bool AttachmentGet(TVeltClient& session, const std::string& id, const std::string& name, const std::string& target,
                   const ProgressCallback& progress);
// 220 A and S: the file added (under name for S); the server's refusal, empty on success.
std::string AttachmentAdd(TVeltClient& session, const std::string& id, const std::string& fileName,
                          const ProgressCallback& progress);
std::string AttachmentAddAs(TVeltClient& session, const std::string& id, const std::string& name,
                            const std::string& fileName, const ProgressCallback& progress);
// 220 D.
std::string AttachmentDelete(TVeltClient& session, const std::string& id, const std::string& name);

}  // namespace velt
