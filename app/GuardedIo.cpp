#include "app/GuardedIo.h"

#include <exception>
#include <new>
#include <stdexcept>

Status GuardedIo(const std::string& action, const std::string& path, const std::function<Status()>& io) {
    std::string reason;
    try {
        return io();
    } catch (const std::bad_alloc&) {
        reason = "not enough memory";
    } catch (const std::length_error&) {
        reason = "a row is larger than the table can hold";
    } catch (const std::exception& e) {
        reason = e.what();
    } catch (...) {
        reason = "an unexpected failure";
    }
    return Status::Error("Cannot " + action + " \"" + path + "\": " + reason + ".");
}
