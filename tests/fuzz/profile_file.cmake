tarvolo_fuzz(profile_file DEPS tarvolo_core)
