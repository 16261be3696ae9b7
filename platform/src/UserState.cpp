#include "UserState.h"

#include "Resets.h"

#include <algorithm>
#include <atomic>

namespace insigno::platform {
namespace {

// Ends a thread's queue with the thread, as Windows does: senders still waiting for it get 0,
// and the windows it owns go without messages.
struct QueueHolder {
    std::shared_ptr<Queue> queue;

    ~QueueHolder() {
        if (!queue) {
            return;
        }
        UserState& state = User();
        Lock lock(state.mutex);
        for (auto& sent : queue->sent) {
            sent->done = true;
            sent->sender->wake.notify_all();
        }
        queue->sent.clear();
        std::vector<HWND> owned;
        for (const auto& [hwnd, window] : state.windows) {
            if (window.ownerThread == queue->thread) {
                CollectDescendants(state, hwnd, owned);
            }
        }
        std::sort(owned.begin(), owned.end());
        owned.erase(std::unique(owned.begin(), owned.end()), owned.end());
        ForgetWindows(state, owned);
        state.queues.erase(queue->thread);
        // exit() destroys the main thread's thread-locals before the modules' static objects,
        // and a module's teardown may still peek then (Windows keeps the queue until the thread
        // is gone): leave no dangling queue behind, so such a call gets a fresh one.
        queue.reset();
    }
};

thread_local QueueHolder currentQueue;

void Unlink(std::vector<HWND>& list, HWND hwnd) {
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
}

}  // namespace

UserState& User() {
    // Never destroyed: threads may still end (and clean up their queues) during exit.
    static UserState* state = new UserState;
    return *state;
}

DWORD CurrentThread() {
    static std::atomic<DWORD> next{1};
    thread_local DWORD id = next++;
    return id;
}

std::shared_ptr<Queue> CurrentQueue(UserState& state) {
    if (!currentQueue.queue) {
        auto queue = std::make_shared<Queue>();
        queue->thread = CurrentThread();
        state.queues[queue->thread] = queue;
        currentQueue.queue = queue;
    }
    return currentQueue.queue;
}

WindowRecord* FindWindow(UserState& state, HWND hwnd) {
    auto it = state.windows.find(hwnd);
    return it == state.windows.end() ? nullptr : &it->second;
}

void CollectDescendants(const UserState& state, HWND hwnd, std::vector<HWND>& out) {
    auto it = state.windows.find(hwnd);
    if (it == state.windows.end()) {
        return;
    }
    out.push_back(hwnd);
    for (HWND child : it->second.children) {
        CollectDescendants(state, child, out);
    }
}

void ForgetWindows(UserState& state, const std::vector<HWND>& windows) {
    for (HWND hwnd : windows) {
        WindowRecord* window = FindWindow(state, hwnd);
        if (!window) {
            continue;
        }
        if (WindowRecord* parent = FindWindow(state, window->parent)) {
            Unlink(parent->children, hwnd);
        }
        Unlink(state.topLevel, hwnd);
        state.windows.erase(hwnd);
    }
    ForgetPresented(windows);
    auto gone = [&](HWND hwnd) {
        return std::find(windows.begin(), windows.end(), hwnd) != windows.end();
    };
    for (auto& [thread, queue] : state.queues) {
        std::erase_if(queue->posted, [&](const MSG& msg) { return gone(msg.hwnd); });
        std::erase_if(queue->timers, [&](const Timer& timer) { return gone(timer.hwnd); });
    }
}

bool AnswerOneSent(Lock& lock, UserState& state, Queue& queue) {
    if (queue.sent.empty()) {
        return false;
    }
    auto incoming = queue.sent.front();
    queue.sent.pop_front();
    WindowRecord* receiver = FindWindow(state, incoming->hwnd);
    WNDPROC procedure = receiver ? receiver->procedure : nullptr;
    lock.unlock();
    LRESULT result =
        procedure ? procedure(incoming->hwnd, incoming->message, incoming->wParam, incoming->lParam)
                  : 0;
    lock.lock();
    incoming->result = result;
    incoming->done = true;
    incoming->sender->wake.notify_all();
    return true;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hwnd);
    if (!window) {
        return 0;
    }
    if (window->ownerThread == CurrentThread()) {
        WNDPROC procedure = window->procedure;
        lock.unlock();
        return procedure(hwnd, message, wParam, lParam);
    }
    auto target = state.queues.find(window->ownerThread);
    if (target == state.queues.end()) {
        return 0;
    }
    auto self = CurrentQueue(state);
    auto sent =
        std::make_shared<SentMessage>(SentMessage{hwnd, message, wParam, lParam, 0, false, self});
    target->second->sent.push_back(sent);
    target->second->wake.notify_all();
    // While waiting, answer what other threads send to this one, as Windows does; otherwise two
    // threads sending to each other would wait for ever.
    while (!sent->done) {
        if (!AnswerOneSent(lock, state, *self)) {
            self->wake.wait(lock);
        }
    }
    return sent->result;
}

std::wstring KeyOf(LPCWSTR nameOrAtom) {
    if (IS_INTRESOURCE(nameOrAtom)) {
        return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(nameOrAtom));
    }
    return nameOrAtom;
}

}  // namespace insigno::platform
