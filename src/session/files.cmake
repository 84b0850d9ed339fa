target_sources(telx5_session PRIVATE filecommands.cpp filecommands.h backups.cpp backups.h)
