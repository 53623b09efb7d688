#pragma once
// The record-editing service of a logged-in user. Being logged in means that
// it exists: it is made for the catalogue's session at login and freed at
// logout. The shell starts editing after a login and stops it before a
// logout, a catalogue change and the end; TEdycja (editing/TEdycja.h) is the
// service of the program, and this base does nothing (tests of the login).

#include <functional>
#include <memory>
#include <string>

namespace velt {

class velt_files;

class EditingService {
public:
    virtual ~EditingService() = default;
    // Loads what editing needs after a login; files of the session go into
    // the working directory (ending with "/").
    virtual void StartEditing(const std::string& /*workingDirectory*/) {}
    // Ends editing before a logout: false, with nothing changed, when the
    // user must first close the open records. With force (the program is
    // going) nothing is asked or refused, and nothing typed is lost.
    virtual bool StopEditing(bool /*force*/) { return true; }
};

// Makes the service for the catalogue being logged into.
using EditingServiceFactory = std::function<std::unique_ptr<EditingService>(velt_files& files)>;

}  // namespace velt
