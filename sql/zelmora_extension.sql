-- zelmora's own tables on a SQL Server host, beside the host application's:
-- what the Intrastat layout in force from January 2022 needs and the host
-- schema has no column for. Run once on the host database (it adds only
-- what is missing, so running it again changes nothing).
--
-- ZL01_NATURAB: the nature of transaction's column B of an Intrastat line
-- (one row per IN02_RIGHEDOC line that has one; ZL01_NUMRIGA matches
-- ISNULL(IN02_NUMRIGA, 0)). No row, or a blank, means no column B.
-- ZL02_CALLOFFSTOCK: the call-off stock movements of section 5 of the sales
-- list: operation 1 goods transferred to the consignee, 2 goods returned to
-- the sender, 3 consignee replaced (then ZL02_STATONUOVO and
-- ZL02_PARTIVANUOVO name the new consignee). VAT codes without the country
-- prefix; member states as the law's table writes them (Greece EL).

IF OBJECT_ID(N'dbo.ZL01_NATURAB', N'U') IS NULL
CREATE TABLE dbo.ZL01_NATURAB (
  ZL01_DITTA_CG18  INT NOT NULL,
  ZL01_NUMREG_CG41 INT NOT NULL,
  ZL01_NUMRIGA     SMALLINT NOT NULL,
  ZL01_NATURAB     VARCHAR(1) NULL,
  CONSTRAINT PK_ZL01_NATURAB PRIMARY KEY (ZL01_DITTA_CG18, ZL01_NUMREG_CG41, ZL01_NUMRIGA)
);
GO

IF OBJECT_ID(N'dbo.ZL02_CALLOFFSTOCK', N'U') IS NULL
CREATE TABLE dbo.ZL02_CALLOFFSTOCK (
  ZL02_DITTA_CG18   INT NOT NULL,
  ZL02_ID           INT NOT NULL,
  ZL02_ANNO         SMALLINT NOT NULL,
  ZL02_MESE         TINYINT NOT NULL,
  ZL02_STATO        VARCHAR(2) NULL,
  ZL02_PARTIVA      VARCHAR(12) NULL,
  ZL02_OPERAZIONE   TINYINT NULL,
  ZL02_STATONUOVO   VARCHAR(2) NULL,
  ZL02_PARTIVANUOVO VARCHAR(12) NULL,
  CONSTRAINT PK_ZL02_CALLOFFSTOCK PRIMARY KEY (ZL02_DITTA_CG18, ZL02_ID)
);
GO

IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'IX_ZL02_PERIODO'
                 AND object_id = OBJECT_ID(N'dbo.ZL02_CALLOFFSTOCK'))
CREATE INDEX IX_ZL02_PERIODO ON dbo.ZL02_CALLOFFSTOCK (ZL02_DITTA_CG18, ZL02_ANNO, ZL02_MESE);
GO
