#include "control/modelif/OrderAnswers.h"

#include "control/BaseInterface.h"
#include "control/BasePrimitive.h"
#include "control/modelif/BaseModelHandler.h"
#include "control/secli/ServiceHandler.h"
#include "control/secli/prim/ConfigRejectPrim.h"
#include "eventHandling/IEntity.h"
#include "eventHandling/Listener.h"
#include "model/BaseModel.h"
#include "model/output/SyncEthOutput.h"
#include "model/output/SyncEthOutputFeature.h"

namespace Sync {
namespace EthCentral {

class OrderAnswers::Counter {
  public:
    virtual ~Counter() = default;
};

namespace {

using S = Secli::ServiceHandler;

template <class E>
class AnswerListener : public OrderAnswers::Counter, public Listener<E> {
  public:
    AnswerListener(OrderAnswers& answers, bool confirmed) : answers_(answers), confirmed_(confirmed) {
        this->startListening();
    }
    void onEvent(E& event) override { answers_.count(event.getSource(), confirmed_); }

  private:
    OrderAnswers& answers_;
    bool confirmed_;
};

template <class E>
std::unique_ptr<OrderAnswers::Counter> counter(OrderAnswers& answers, bool confirmed) {
    return std::make_unique<AnswerListener<E>>(answers, confirmed);
}

}  // namespace

OrderAnswers::OrderAnswers(BaseModelHandler& handler) : handler_(handler) {
    counters_.push_back(counter<S::SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT>(*this, true));
    counters_.push_back(counter<S::SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT>(*this, true));
    counters_.push_back(counter<S::SECLI_OUTPUT_CONFIG_REMOVE_RCFM_EVENT>(*this, true));
    counters_.push_back(counter<S::SECLI_OUTPUT_CONFIG_CREATE_RREJ_EVENT>(*this, false));
    counters_.push_back(counter<S::SECLI_OUTPUT_CONFIG_CHANGE_RREJ_EVENT>(*this, false));
}

OrderAnswers::~OrderAnswers() = default;

void OrderAnswers::count(IEntity* source, bool confirmed) {
    auto* secli = dynamic_cast<S*>(source);
    BaseInterface* interface = secli != nullptr ? secli->getInterface() : nullptr;
    const BasePrimitive* answer = interface != nullptr ? interface->getCurrentPrimitive() : nullptr;
    BaseModel* model = handler_.getModel();
    SyncEthOutputFeature* feature = model != nullptr ? model->outputFeature() : nullptr;
    SyncEthOutput* output = answer != nullptr && feature != nullptr
                                ? feature->findSyncEthOutput(answer->getProcedureReference())
                                : nullptr;
    if (output == nullptr)
        return;
    SyncEthOutput::OrderCounts& counts = output->orderCounts();
    if (confirmed) {
        ++counts.confirmed;
        return;
    }
    ++counts.rejected;
    if (const auto* reject = dynamic_cast<const Secli::ConfigRejectPrim*>(answer))
        counts.lastRejectCode = reject->getErrorCode();
}

}  // namespace EthCentral
}  // namespace Sync
