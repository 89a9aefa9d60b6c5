// Closing the suite's running applications before their files are replaced.
#ifndef SETUP_SUITEAPPLICATIONS_H
#define SETUP_SUITEAPPLICATIONS_H

// Closes the running suite applications by their window titles: the
// "Tonedock" window alone when it is open, otherwise each of the three
// spinner windows. Returns after the windows have handled WM_CLOSE and the
// settling pauses have passed.
void CloseSuiteApplications();

#endif
