#ifndef SYNC_EVENTHANDLING_CONTAINER_H
#define SYNC_EVENTHANDLING_CONTAINER_H

#include <cstddef>
#include <map>

namespace Sync {

// An ordered map from key to an owned object. Iteration and deletion follow ascending key order.
template <class K, class V>
class Container {
  public:
    using Map = std::map<K, V*>;
    using const_iterator = typename Map::const_iterator;

    Container() = default;
    ~Container() { clear(); }
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    // Takes value under key; false (and value stays the caller's) when the key is present.
    bool insert(const K& key, V* value) { return items.emplace(key, value).second; }

    V* find(const K& key) const {
        auto it = items.find(key);
        return it != items.end() ? it->second : nullptr;
    }

    bool contains(const K& key) const { return items.count(key) != 0; }

    // Hands the object back to the caller without deleting it; null when absent.
    V* release(const K& key) {
        auto it = items.find(key);
        if (it == items.end()) {
            return nullptr;
        }
        V* value = it->second;
        items.erase(it);
        return value;
    }

    // Deletes the object under key; false when absent.
    bool erase(const K& key) {
        V* value = release(key);
        delete value;
        return value != nullptr;
    }

    // Deletes every object, lowest key first. Each object is out of the map before it is deleted.
    void clear() {
        while (!items.empty()) {
            auto first = items.begin();
            V* value = first->second;
            items.erase(first);
            delete value;
        }
    }

    size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    const_iterator begin() const { return items.begin(); }
    const_iterator end() const { return items.end(); }

  private:
    Map items;
};

}  // namespace Sync

#endif
