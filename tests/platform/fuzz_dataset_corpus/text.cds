Tipo;Descr
T;ventilconvettore
