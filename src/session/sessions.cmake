target_sources(telx5_session PRIVATE
    sessions.h
    sessionsupport.h
    readsession.cpp
    writesession.cpp
    wifisession.cpp
    asidesession.cpp
    jobs.cpp
    jobs.h)
