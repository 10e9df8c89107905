// The three kinds of event a recording indexes, in the order the program lists them.
#pragma once

namespace domain {

enum class EventType {
    Source = 0,
    Motion = 1,
    Gpi = 2
};

constexpr EventType kEventTypes[] = {EventType::Source, EventType::Motion, EventType::Gpi};

// The type at a place of that list (a list box's selection); false for none (-1) or past it.
constexpr bool EventTypeAt(int index, EventType& type)
{
    if (index < 0 || index > static_cast<int>(EventType::Gpi)) return false;
    type = static_cast<EventType>(index);
    return true;
}

// As the program names them to the user.
constexpr const char* EventTypeName(EventType type)
{
    switch (type) {
    case EventType::Source: return "Source";
    case EventType::Motion: return "Motion";
    case EventType::Gpi: return "GPI";
    }
    return "";
}

}  // namespace domain
