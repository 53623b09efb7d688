#pragma once
// The server's programs in "&Operacja": one item per program, or a submenu
// of its selection modes (the current record, the local or the remote
// collection, automatic), each run with its parameter form; and the
// entries' "OPERACJA" elements.

#include "gui/shell/FeatureHost.h"

namespace velt::gui {

class ProgramsFeature : public Feature {
public:
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;
    void DescriptorChanged() override;

private:
    void BuildPrograms();

    FeatureHost* mHost = nullptr;
    std::vector<QAction*> mItems;  // the items this feature put into "&Operacja"
};

}  // namespace velt::gui
