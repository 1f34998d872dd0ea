#include "NameWatch.h"

#include <cstring>
#include <utility>

#include "WarningSink.h"

namespace Sync::Platform {

namespace {

const char* kDbusName = "org.freedesktop.DBus";
const char* kDbusPath = "/org/freedesktop/DBus";

sd_bus_slot* drop(sd_bus_slot* slot) {
    return sd_bus_slot_unref(slot);
}

}  // namespace

NameWatch::NameWatch(sd_bus* bus, std::string busName, bool identify, Observer& observer)
    : bus_(bus), busName_(std::move(busName)), identify_(identify), observer_(&observer) {}

NameWatch::~NameWatch() {
    stop();
}

bool NameWatch::start() {
    std::string rule =
        "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
        "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='" +
        busName_ + "'";
    int r = sd_bus_add_match_async(bus_, &match_, rule.c_str(), onOwnerChanged, onMatchInstalled, this);
    if (r < 0) {
        WarningSink::emit("cannot watch %s: %s", busName_.c_str(), strerror(-r));
        return false;
    }
    // The bus answers in order, so every owner change after this question is signalled to the match.
    r = sd_bus_call_method_async(bus_, &ownerCall_, kDbusName, kDbusPath, kDbusName, "GetNameOwner",
                                 onOwnerReply, this, "s", busName_.c_str());
    if (r < 0) {
        WarningSink::emit("cannot ask the owner of %s: %s", busName_.c_str(), strerror(-r));
        stop();
        return false;
    }
    return true;
}

void NameWatch::stop() {
    observer_ = nullptr;
    match_ = drop(match_);
    ownerCall_ = drop(ownerCall_);
    idCall_ = drop(idCall_);
}

int NameWatch::onOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* self = static_cast<NameWatch*>(userdata);
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &oldOwner, &newOwner) < 0 || self->busName_ != name) {
        return 0;
    }
    self->signalSeen_ = true;
    self->ownerIs(newOwner);
    return 0;
}

int NameWatch::onMatchInstalled(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* self = static_cast<NameWatch*>(userdata);
    const sd_bus_error* error = sd_bus_message_get_error(m);
    if (error != nullptr) {
        WarningSink::emit("the bus refused to watch %s: %s", self->busName_.c_str(), error->message);
    }
    return 0;
}

int NameWatch::onOwnerReply(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* self = static_cast<NameWatch*>(userdata);
    self->ownerCall_ = drop(self->ownerCall_);
    if (self->signalSeen_ || self->observer_ == nullptr) {
        return 0;  // a signal already told the state this answer describes
    }
    const sd_bus_error* error = sd_bus_message_get_error(m);
    if (error != nullptr) {
        if (std::strcmp(error->name, "org.freedesktop.DBus.Error.NameHasNoOwner") == 0) {
            self->ownerIs("");
        } else {
            WarningSink::emit("cannot learn the owner of %s: %s", self->busName_.c_str(), error->message);
        }
        return 0;
    }
    const char* owner = nullptr;
    if (sd_bus_message_read(m, "s", &owner) >= 0) {
        self->ownerIs(owner);
    }
    return 0;
}

// The observer may stop the watch from inside any of its calls, so each call is checked again.
void NameWatch::ownerIs(const std::string& owner) {
    if (state_ == State::Present && owner == owner_) {
        return;
    }
    idCall_ = drop(idCall_);
    bool wasIdentified = identified_;
    identified_ = false;
    owner_ = owner;
    state_ = owner.empty() ? State::Absent : State::Present;
    if (wasIdentified && observer_ != nullptr) {
        observer_->nameLost(busName_, ownerId_);
    }
    if (state_ == State::Absent) {
        if (observer_ != nullptr) {
            observer_->nameGone(busName_);
        }
    } else if (identify_ && observer_ != nullptr) {
        askId();
    }
}

void NameWatch::askId() {
    sd_bus_message* call = nullptr;
    int r = sd_bus_message_new_method_call(bus_, &call, owner_.c_str(), "/org/tavi/Mailbox",
                                           "org.tavi.Mailbox", "Id");
    if (r >= 0) {
        sd_bus_message_set_auto_start(call, 0);
        r = sd_bus_call_async(bus_, &idCall_, call, onIdReply, this, kIdTimeoutUsec);
    }
    sd_bus_message_unref(call);
    if (r < 0) {
        WarningSink::emit("cannot ask Id() of %s (%s): %s", owner_.c_str(), busName_.c_str(), strerror(-r));
    }
}

int NameWatch::onIdReply(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* self = static_cast<NameWatch*>(userdata);
    self->idCall_ = drop(self->idCall_);
    const sd_bus_error* error = sd_bus_message_get_error(m);
    uint32_t id = 0;
    if (error != nullptr) {
        WarningSink::emit("Id() of %s (%s) failed: %s", self->owner_.c_str(), self->busName_.c_str(),
                          error->message);
        return 0;
    }
    if (!sd_bus_message_has_signature(m, "u") || sd_bus_message_read(m, "u", &id) < 0) {
        WarningSink::emit("Id() of %s (%s) answered with signature '%s'", self->owner_.c_str(),
                          self->busName_.c_str(), sd_bus_message_get_signature(m, 1));
        return 0;
    }
    self->identified_ = true;
    self->ownerId_ = id;
    if (self->observer_ != nullptr) {
        self->observer_->nameIdentified(self->busName_, id);
    }
    return 0;
}

}  // namespace Sync::Platform
