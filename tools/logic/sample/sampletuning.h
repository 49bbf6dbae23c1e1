/* The block the sample library publishes and the sample object reads,
   and the data all sample objects share. Tests read both. */
#ifndef SAMPLE_TUNING_H
#define SAMPLE_TUNING_H

#include "framework/logic/api/LogicModuleAPI.h"

#define SAMPLE_TUNING_NAME		"SAMPLE_TUNING"
#define SAMPLE_TUNING_SPEED		4.5f
#define SAMPLE_TUNING_GRAVITY	9.81f
#define SAMPLE_TUNING_LIVES		3

typedef struct {
	f32 speed;
	f32 gravity;
	u32 lives;
} SampleTuning;

/* Every state call moves the position speed units along x; distance is
   its length and laps the number of whole groups of lives steps. */
typedef struct {
	u32 frames;
	u32 instances;
	DTVector3d position;
	f32 distance;
	s32 laps;
} SampleShared;

#endif
