// Counts the data plane's answers to output orders on the output they concern (its OrderCounts), so
// that an operator can see per output how many orders were confirmed or rejected and why. The sent
// orders are counted by the data-plane service handler as it sends them.
#ifndef SYNC_ETHCENTRAL_ORDERANSWERS_H
#define SYNC_ETHCENTRAL_ORDERANSWERS_H

#include <memory>
#include <vector>

namespace Sync {

class IEntity;

namespace EthCentral {

class BaseModelHandler;

class OrderAnswers {
  public:
    explicit OrderAnswers(BaseModelHandler& handler);
    ~OrderAnswers();
    OrderAnswers(const OrderAnswers&) = delete;
    OrderAnswers& operator=(const OrderAnswers&) = delete;

    // The answer the data-plane service handler source has just received, counted on the output it
    // names (if any); a rejection also records its error code.
    void count(IEntity* source, bool confirmed);

    class Counter;  // one listener per answer event

  private:
    BaseModelHandler& handler_;
    std::vector<std::unique_ptr<Counter>> counters_;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
