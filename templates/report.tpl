==============================================================================
  XKV 4410 ALPHA/BETA COUNTER                            MEASUREMENT REPORT
==============================================================================

  Report number    : {NUMBER}
  Date             : {CUR_DATE}
  Operator         : {CREATOR}
  Sample ID        : {SAMPLE_ID}
  Description      : {DESCRIPTION}

{TABLE}
------------------------------------------------------------------------------
  Sample {D.SAMP_ID}, measurement {D.SER_NUM}
------------------------------------------------------------------------------
  Description      : {D.DESCR}
  Database record  : {D.ID}  {D.DATE}
  Parameter set    : {D.CAL_NAME}  {D.CAL_TEXT}
  Mode             : {D.MODE}
  High voltage     : {D.HV} V
  Counting time    : {D.TIME} s  (preset {D.P_TIME} s)
  Quantity         : {D.QUANTITY}
  Factor K1        : {D.K1}
  Background       : alpha {D.BC_A}  beta {D.BC_B}  over {D.BC_TIME} s
  Bkg. correction  : {D.BC_CORR}

  ALPHA
    Channel value  : {D.RESULT_A}
    Efficiency     : {D.CAL_A}  (uncertainty {D.CAL_A_ACT})
    Activity       : {D.ACT_A} {D.UNITS}
    Uncertainty    : {D.U_ACT_A}
    MDA            : {D.MDA_A} {D.UNITS}
    Result         : {D.TEXT_A}
    Decision thr.  : {D.DT_A} {D.UNITS}
    Detection lim. : {D.DL_A} {D.UNITS}
    Detection      : {D.ND_A}
    Lab result     : {D.LAB_A}  u {D.U_LAB_A}  ({D.LAB_ND_A})
    Lab limits     : decision thr. {D.LAB_DT_A}  detection lim. {D.LAB_DL_A}
    Best estimate  : {D.BEST_A}  u {D.U_BEST_A}
    Coverage int.  : {D.LOW_A} to {D.HIGH_A} {D.UNITS}

  BETA
    Channel value  : {D.RESULT_B}
    Efficiency     : {D.CAL_B}  (uncertainty {D.CAL_B_ACT})
    Activity       : {D.ACT_B} {D.UNITS}
    Uncertainty    : {D.U_ACT_B}
    MDA            : {D.MDA_B} {D.UNITS}
    Result         : {D.TEXT_B}
    Decision thr.  : {D.DT_B} {D.UNITS}
    Detection lim. : {D.DL_B} {D.UNITS}
    Detection      : {D.ND_B}
    Lab result     : {D.LAB_B}  u {D.U_LAB_B}  ({D.LAB_ND_B})
    Lab limits     : decision thr. {D.LAB_DT_B}  detection lim. {D.LAB_DL_B}
    Best estimate  : {D.BEST_B}  u {D.U_BEST_B}
    Coverage int.  : {D.LOW_B} to {D.HIGH_B} {D.UNITS}

  Calibrations     : {D.CALIBRATIONS}

{END_TABLE}
==============================================================================

  Decision threshold and detection limit: ISO 11929, k = {LIMITS_K}.
  "not detected": the activity is at or below its decision threshold.
  Lab result: the activity with the alpha/beta crosstalk taken out; best
  estimate and probabilistically symmetric coverage interval (ISO 11929).

  Checked by : ______________________      Signature : ______________________

==============================================================================
