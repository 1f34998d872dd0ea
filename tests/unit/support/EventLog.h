// What a service handler raised, in order: each event's name, with a note in parentheses where the
// test asks for one, and its source.
#ifndef SYNC_TEST_EVENTLOG_H
#define SYNC_TEST_EVENTLOG_H

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "eventHandling/IEntity.h"
#include "eventHandling/Listener.h"

namespace Sync {
namespace Test {

class EventLog {
  public:
    template <class E>
    void listen(std::function<std::string(E&)> note = nullptr) {
        recorders.push_back(std::make_shared<Recorder<E>>(this, std::move(note)));
    }
    template <class... Es>
    void listenAll() {
        (listen<Es>(), ...);
    }

    std::vector<std::string> names;
    std::vector<IEntity*> sources;
    // Called after each recorded event.
    std::function<void(PolymorphEvent&)> after;

  private:
    template <class E>
    class Recorder : public Listener<E> {
      public:
        Recorder(EventLog* log, std::function<std::string(E&)> note) : log(log), note(std::move(note)) {
            this->startListening();
        }
        void onEvent(E& event) override {
            log->names.push_back(event.getName() + (note ? "(" + note(event) + ")" : std::string()));
            log->sources.push_back(event.getSource());
            if (log->after)
                log->after(event);
        }

      private:
        EventLog* log;
        std::function<std::string(E&)> note;
    };

    std::vector<std::shared_ptr<void>> recorders;
};

}  // namespace Test
}  // namespace Sync

#endif
