#pragma once

namespace koa::cache {

// The chain of every live instance of a class, newest first: start is the class's static head,
// prev and next the members of each instance that thread it.
template <typename T> void LinkFirst(T* node, T*& start, T* T::*prev, T* T::*next) {
    node->*prev = nullptr;
    node->*next = start;
    if (start != nullptr)
        start->*prev = node;
    start = node;
}

template <typename T> void Unlink(T* node, T*& start, T* T::*prev, T* T::*next) {
    T* const before = node->*prev;
    T* const after = node->*next;
    if (before != nullptr)
        before->*next = after;
    else
        start = after;
    if (after != nullptr)
        after->*prev = before;
}

} // namespace koa::cache
