tarvolo_fuzz(db_resultset DEPS tarvolo_db)
target_sources(fuzz_db_resultset PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../db/ScriptedOci.cpp)
