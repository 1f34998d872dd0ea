#ifndef SYNC_EVENTHANDLING_LISTENERREGISTRY_H
#define SYNC_EVENTHANDLING_LISTENERREGISTRY_H

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Sync {

template <class E>
class Listener;

// The listeners of one event type. While a dispatch runs the list itself never changes: listeners
// started or stopped meanwhile wait in the pending lists until the dispatch ends, and a nested raise of
// the same type is dropped. Firing walks only this type's listeners and allocates nothing.
template <class E>
class ListenerRegistry {
  public:
    // Never destroyed, so that listeners living in other statics may still unregister at exit.
    static ListenerRegistry& instance() {
        static ListenerRegistry* registry = new ListenerRegistry();
        return *registry;
    }

    void fire(E& event) {
        if (dispatching || listeners.empty()) {
            return;
        }
        DispatchScope scope(*this);
        const size_t count = listeners.size();
        for (size_t i = 0; i < count; ++i) {
            Listener<E>* listener = listeners[i];
            if (listener == nullptr) {
                continue;
            }
            listener->inCallback = true;
            listener->onEvent(event);
            // A listener destroyed by its own reaction has left a hole in its slot.
            if (listeners[i] == listener) {
                listener->inCallback = false;
            }
        }
    }

    void add(Listener<E>* listener) {
        if (!dispatching) {
            listeners.push_back(listener);
        } else if (!takeOut(pendingRemove, listener)) {
            pendingAdd.push_back(listener);
        }
    }

    void remove(Listener<E>* listener) {
        if (!dispatching) {
            takeOut(listeners, listener);
        } else if (!takeOut(pendingAdd, listener)) {
            pendingRemove.push_back(listener);
        }
    }

    // The listener is being destroyed: drop every trace of it. During a dispatch its slot becomes a
    // hole that the walk skips, so it is never called again.
    void forget(Listener<E>* listener) {
        takeOut(pendingAdd, listener);
        takeOut(pendingRemove, listener);
        if (!dispatching) {
            takeOut(listeners, listener);
            return;
        }
        auto it = std::find(listeners.begin(), listeners.end(), listener);
        if (it != listeners.end()) {
            *it = nullptr;
            holes = true;
        }
    }

    bool isDispatching() const { return dispatching; }
    size_t size() const { return listeners.size(); }

  private:
    // Ends the dispatch even when a reaction throws, so the type is not left deaf.
    class DispatchScope {
      public:
        explicit DispatchScope(ListenerRegistry& registry) : registry(registry) {
            registry.dispatching = true;
        }
        ~DispatchScope() { registry.endDispatch(); }
        DispatchScope(const DispatchScope&) = delete;
        DispatchScope& operator=(const DispatchScope&) = delete;

      private:
        ListenerRegistry& registry;
    };

    ListenerRegistry() = default;

    void endDispatch() {
        dispatching = false;
        if (holes) {
            listeners.erase(std::remove(listeners.begin(), listeners.end(), nullptr), listeners.end());
            holes = false;
        }
        for (Listener<E>* listener : listeners) {
            listener->inCallback = false;
        }
        listeners.insert(listeners.end(), pendingAdd.begin(), pendingAdd.end());
        pendingAdd.clear();
        for (Listener<E>* listener : pendingRemove) {
            takeOut(listeners, listener);
        }
        pendingRemove.clear();
    }

    static bool takeOut(std::vector<Listener<E>*>& list, Listener<E>* listener) {
        auto it = std::find(list.begin(), list.end(), listener);
        if (it == list.end()) {
            return false;
        }
        list.erase(it);
        return true;
    }

    std::vector<Listener<E>*> listeners;
    std::vector<Listener<E>*> pendingAdd;
    std::vector<Listener<E>*> pendingRemove;
    bool dispatching = false;
    bool holes = false;
};

}  // namespace Sync

#endif
