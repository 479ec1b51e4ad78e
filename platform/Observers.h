#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>

namespace platform {

class ObserverList;

// One observer's registration for one event, for as long as this object lives: ending it (leaving
// its scope, assigning another to it, or end()) removes that registration and no other. It must not
// outlive the event's list, which lives for the whole run.
class [[nodiscard]] Subscription {
  public:
    Subscription() = default;
    Subscription(ObserverList& list, uint64_t id) : list_(&list), id_(id) {}
    Subscription(Subscription&& other) noexcept
        : list_(std::exchange(other.list_, nullptr)), id_(other.id_) {}
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { end(); }

    void end();

  private:
    ObserverList* list_ = nullptr;
    uint64_t id_ = 0;
};

// What every event's list does whatever its arguments: ends registrations, also while the event is
// being told (an observer may end its own or another's; the ended one is not called again).
class ObserverList {
  public:
    ObserverList() = default;
    ObserverList(const ObserverList&) = delete;
    ObserverList& operator=(const ObserverList&) = delete;

  protected:
    ~ObserverList() = default;
    uint64_t nextId() { return ++lastId_; }

  private:
    friend class Subscription;
    virtual void remove(uint64_t id) = 0;
    uint64_t lastId_ = 0;
};

// An event that any number of observers see, each in the order it registered. One thread.
template <typename... Args>
class Observers final : public ObserverList {
  public:
    Subscription subscribe(std::function<void(Args...)> observer) {
        const uint64_t id = nextId();
        entries_.push_back({id, true, std::move(observer)});
        return {*this, id};
    }

    // Tells every observer registered before the event began that hasn't ended since.
    void tell(Args... args) {
        const Telling telling(*this);
        const size_t count = entries_.size();
        for (size_t i = 0; i < count; ++i) {
            if (entries_[i].live)
                entries_[i].observer(args...);
        }
    }

  private:
    // Counts the event told while it lives; the last one to end sweeps the ended registrations,
    // though an observer threw.
    class Telling {
      public:
        explicit Telling(Observers& observers) : observers_(observers) { ++observers_.telling_; }
        ~Telling() {
            if (--observers_.telling_ == 0)
                std::erase_if(observers_.entries_, [](const Entry& entry) { return !entry.live; });
        }
        Telling(const Telling&) = delete;
        Telling& operator=(const Telling&) = delete;

      private:
        Observers& observers_;
    };

    struct Entry {
        uint64_t id;
        bool live;
        std::function<void(Args...)> observer;
    };

    void remove(uint64_t id) override {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->id != id)
                continue;
            // An observer that ends itself is still running: it is dropped once the event is told.
            if (telling_ > 0)
                it->live = false;
            else
                entries_.erase(it);
            return;
        }
    }

    // A deque: registering while the event is told moves no observer that is running.
    std::deque<Entry> entries_;
    // How deep the event is being told (an observer may cause it again): ended registrations are
    // swept once it is told no more.
    int telling_ = 0;
};

}  // namespace platform
