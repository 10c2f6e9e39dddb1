// UAReport
