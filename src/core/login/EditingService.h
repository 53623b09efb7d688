#pragma once
// The record-editing service of a logged-in user. Being logged in means that
// it exists: it is made for the catalogue's session at login and freed at
// logout. Record editing itself comes with its own service; today it is only
// the presence that login and logout manage.

#include <functional>
#include <memory>

namespace velt {

class TVeltClient;

class EditingService {
public:
    virtual ~EditingService() = default;
};

// Makes the service for a session.
using EditingServiceFactory = std::function<std::unique_ptr<EditingService>(TVeltClient& session)>;

}  // namespace velt
