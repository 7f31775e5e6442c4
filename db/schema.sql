/* Tavrel database: label designs (TAVREL) and label sheet definitions (TAVRELSET).
   The program creates the database file itself with default character set UTF8 and
   page size 8192, then runs this script statement by statement.
   Every length of a sheet definition is in tenth-millimetres. */

CREATE GENERATOR GEN_TAVREL_ID;
CREATE GENERATOR GEN_TAVRELSET_ID;

CREATE TABLE TAVREL (
    ID         INTEGER NOT NULL,
    NAME       VARCHAR(100),
    PAPERNAME  VARCHAR(60),
    /* The label text is RTF as the rich edit streams it: Shift-JIS bytes. Stored in that
       character set, the engine need not transliterate every row's text at each fetch. */
    CARDTEXT   BLOB SUB_TYPE TEXT CHARACTER SET SJIS_0208,
    GAZOU      BLOB SUB_TYPE BINARY,
    G_X        INTEGER,
    G_Y        INTEGER,
    G_WIDTH    INTEGER,
    G_HEIGHT   INTEGER,
    G_SHOW     INTEGER,
    G_STRETCH  INTEGER,
    CONSTRAINT PK_TAVREL PRIMARY KEY (ID)
);

CREATE TABLE TAVRELSET (
    ID           INTEGER NOT NULL,
    PAPERNAME    VARCHAR(60),
    CONAME       VARCHAR(60),
    PAPERTYPE    VARCHAR(20),
    P_WIDTH      INTEGER,
    P_HEIGHT     INTEGER,
    LEFT_M       INTEGER,
    TOP_M        INTEGER,
    RETSU        INTEGER,
    DAN          INTEGER,
    L_WIDTH      INTEGER,
    L_HEIGHT     INTEGER,
    X_SKIP       INTEGER,
    Y_SKIP       INTEGER,
    PR_LEFTM     INTEGER,
    PR_TOPM      INTEGER,
    PRINTERNAME  VARCHAR(120),
    CONSTRAINT PK_TAVRELSET PRIMARY KEY (ID)
);

CREATE INDEX IX_TAVREL_NAME ON TAVREL (NAME);
CREATE INDEX IX_TAVRELSET_PAPERNAME ON TAVRELSET (PAPERNAME);

SET TERM ^ ;

/* The identifier sent by the program (0 for a new row, source + 1 for a copy, the file's
   value for an import) is always replaced, so every stored row has its own. */
CREATE TRIGGER TAVREL_BI FOR TAVREL ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
    NEW.ID = GEN_ID(GEN_TAVREL_ID, 1);
END^

CREATE TRIGGER TAVRELSET_BI FOR TAVRELSET ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
    NEW.ID = GEN_ID(GEN_TAVRELSET_ID, 1);
END^

SET TERM ; ^
