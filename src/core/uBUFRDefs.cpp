// uBUFRDefs
