#pragma once
// The browser's data source over an authority list: one index cursor (kind,
// parameter, prefix) in the authority format, each entry drawn from its
// display item, one line for each CR-separated piece. What the user does to
// an entry goes to the window's model.

#include "browse/Vrserwer.h"
#include "catalogue/velt_order.h"

#include <functional>
#include <memory>

namespace velt {

class velt_files;

class KHWserwer : public Vrserwer {
public:
    using ActionHandler = std::function<int(const std::string& key, const std::string& command)>;

    KHWserwer(velt_files& files, ActionHandler onAction);

    // The list of one index; the cursor starts again.
    void SetIndex(std::uint8_t kind, std::int32_t parameter, const std::string& prefix, const std::string& name);
    velt_order& Cursor() { return *mCursor; }

    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;

private:
    velt_files& mFiles;
    ActionHandler mOnAction;
    std::unique_ptr<velt_order> mCursor;
};

}  // namespace velt
