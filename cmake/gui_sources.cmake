# The GUI library: every window and the platform layer. The executable adds only main.cpp.
add_library(quillbox_gui STATIC
    app/FormMain.cpp app/FormMain.h
    app/NoteListHost.h
    app/NoteListLoader.cpp app/NoteListLoader.h
    app/NoteListModel.cpp app/NoteListModel.h
    app/NoteListRows.cpp app/NoteListRows.h
    app/NoteListSearch.cpp app/NoteListSearch.h
    app/NoteListView.cpp app/NoteListView.h
    app/Startup.cpp app/Startup.h
    app/WindowShortcutFilter.cpp app/WindowShortcutFilter.h
    notes/FormNotatka.cpp notes/FormNotatka.h
    notes/LimitedMemo.cpp notes/LimitedMemo.h
    notes/FormUsuwanie.cpp notes/FormUsuwanie.h
    platform/AnchorLayout.cpp platform/AnchorLayout.h
    platform/Look.cpp platform/Look.h
    platform/PlainMessage.cpp platform/PlainMessage.h
    platform/TerminationSignals.cpp platform/TerminationSignals.h
    resources/Icons.cpp resources/Icons.h
)
target_link_libraries(quillbox_gui PUBLIC quillbox_core Qt6::Widgets Qt6::Network Qt6::DBus)
