/* Demo data: a few label sheets (lengths in tenth-millimetres) and two label designs. */

INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_LEFTM, PR_TOPM, PRINTERNAME)
  VALUES (0, 'LB-10', 'サンプル紙工', 'A4', 2100, 2970, 150, 215, 2, 5, 864, 508, 25, 0, 50, 50, '');
INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_LEFTM, PR_TOPM, PRINTERNAME)
  VALUES (0, 'LB-12', 'サンプル紙工', 'A4', 2100, 2970, 0, 131, 3, 4, 700, 677, 0, 0, 40, 40, '');
INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_LEFTM, PR_TOPM, PRINTERNAME)
  VALUES (0, 'LB-24', 'サンプル紙工', 'A4', 2100, 2970, 0, 129, 3, 8, 700, 339, 0, 0, 30, 30, '');
INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_LEFTM, PR_TOPM, PRINTERNAME)
  VALUES (0, 'LB-44', 'ラベル研究所', 'A4', 2100, 2970, 84, 88, 4, 11, 483, 254, 0, 0, 20, 20, '');
INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_LEFTM, PR_TOPM, PRINTERNAME)
  VALUES (0, 'LB-B5-8', 'ラベル研究所', 'B5', 1820, 2570, 46, 279, 2, 4, 864, 508, 0, 0, 50, 50, '');
INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, Y_SKIP, PR_LEFTM, PR_TOPM, PRINTERNAME)
  VALUES (0, 'はがき', 'ラベル研究所', 'その他', 1000, 1480, 0, 0, 1, 1, 1000, 1480, 0, 0, 100, 100, '');

INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, G_STRETCH)
  VALUES (0, '宛名ラベル（住所）', 'LB-10',
  '{\rtf1\ansi\ansicpg932\deff0\deflang1033\deflangfe1041{\fonttbl{\f0\fnil\fcharset128 \''82\''6c\''82\''72 \''82\''6f\''83\''53\''83\''56\''83\''62\''83\''4e;}}
\viewkind4\uc1\pard\lang1041\f0\fs20 \''81\''a7100-0001\par
\fs24 \''93\''8c\''8b\''9e\''93\''73\''90\''e7\''91\''e3\''93\''63\''8b\''e6\''90\''e7\''91\''e3\''93\''63\''82\''50\''81\''7c\''82\''50\par
\b\fs32 \''8e\''52\''93\''63\''81\''40\''91\''be\''98\''59\b0\fs24  \''97\''6c\par
}
',
  10, 10, 70, 50, 0, 0);
INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, G_STRETCH)
  VALUES (0, '在庫品ラベル', 'LB-24',
  '{\rtf1\ansi\ansicpg932\deff0\deflang1033\deflangfe1041{\fonttbl{\f0\fnil\fcharset128 \''82\''6c\''82\''72 \''82\''6f\''83\''53\''83\''56\''83\''62\''83\''4e;}}
{\colortbl ;\red0\green0\blue255;}
\viewkind4\uc1\pard\lang1041\f0\fs20 \cf1\b\fs28 \''8d\''dd\''8c\''c9\''95\''69\cf0\b0\fs20 \par
\''95\''69\''96\''bc\''81\''46\''83\''7b\''81\''5b\''83\''8b\''83\''79\''83\''93\''81\''69\''8d\''95\''81\''6a\par
\''90\''94\''97\''ca\''81\''46100\''96\''7b \up6 \''81\''a6\up0 \par
}
',
  10, 10, 70, 50, 0, 0);
