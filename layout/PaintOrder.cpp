#include "layout/PaintOrder.h"

namespace lantern {

void TPaintOrder::Clear()
{
    Sections.clear();
    flowBegin_ = flowEnd_ = 0;
    reachDown_.clear();
    reachUp_.clear();
}

void TPaintOrder::Assign(std::vector<TSectionBase*> below, std::vector<TSectionBase*> flow,
                         std::vector<TSectionBase*> above)
{
    Sections = std::move(below);
    flowBegin_ = Sections.size();
    Sections.insert(Sections.end(), flow.begin(), flow.end());
    flowEnd_ = Sections.size();
    Sections.insert(Sections.end(), above.begin(), above.end());
    Measure();
}

void TPaintOrder::Measure()
{
    const std::size_t n = flowEnd_ - flowBegin_;
    reachDown_.resize(n);
    reachUp_.resize(n);
    int down = 0;
    for (std::size_t i = 0; i < n; ++i) {
        int top = 0, bottom = 0;
        Sections[flowBegin_ + i]->PaintExtent(top, bottom);
        down = i == 0 ? bottom : std::max(down, bottom);
        reachDown_[i] = down;
        reachUp_[i] = top;
    }
    for (std::size_t i = n; i-- > 1;)
        reachUp_[i - 1] = std::min(reachUp_[i - 1], reachUp_[i]);
}

} // namespace lantern
