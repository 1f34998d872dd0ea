// A view object: something outside the model (a managed object of the node's configuration) that
// asks the model to create, delete, set or read what it describes. It raises one of its four events on
// itself; the model handler hands it to the model, which records the outcome in its result flag.
#ifndef SYNC_ABSTRACTOBJECT_H
#define SYNC_ABSTRACTOBJECT_H

#include <string>

#include "eventHandling/Event.h"
#include "eventHandling/IEntity.h"

namespace Sync {

class AbstractObject : public IEntity {
  public:
    struct OBJECT_CREATE_EVENT : Event<OBJECT_CREATE_EVENT> {};
    struct OBJECT_DELETE_EVENT : Event<OBJECT_DELETE_EVENT> {};
    struct OBJECT_SET_EVENT : Event<OBJECT_SET_EVENT> {};
    struct OBJECT_GET_EVENT : Event<OBJECT_GET_EVENT> {};

    ~AbstractObject() override;

    // Whether the object describes a SyncE input (and so names the Ethernet port it is bound to).
    virtual bool isInputObject() const = 0;

    const std::string& getLdn() const { return ldn; }
    void setLdn(const std::string& value) { ldn = value; }
    bool getResult() const { return result; }
    void setResult(bool value) { result = value; }

  protected:
    explicit AbstractObject(const std::string& ldn, bool result = false);

  private:
    std::string ldn;
    bool result;
};

}  // namespace Sync

#endif
