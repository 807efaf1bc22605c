/* Context ids of the help topics that windows open directly (F1, What's This). */
#define IDH_PREVIEW      80010
#define IDH_MKDIR        80035
#define IDH_MKDIR_NAME   80036
#define IDH_MKDIR_SWITCH 80037
#define IDH_MKDIR_MAKE   80038
#define IDH_MKDIR_CANCEL 80039
#define IDH_ABOUT        80040
