% Bode-Diagramm eines RC-Tiefpasses (R = 10 kOhm, C = 100 nF)
R = 10e3; C = 100e-9;
f = logspace(0, 5, 200);
H = 1 ./ (1 + 1i * 2 * pi * f * R * C);
semilogx(f, 20 * log10(abs(H)));
xlabel('f / Hz'); ylabel('|H| / dB'); grid on;
