/*
===============================================================================

	Stored description of the loading screen: its two pictures.

	Stored after the descriptor members: "LOADING_SCREEN1", "LOADING_SCREEN2".

===============================================================================
*/
#ifndef DT_LOADING_SCREEN_DESCRIPTOR_H
#define DT_LOADING_SCREEN_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/containers/DTString.h"

class DTLoadingScreenDescriptor : public DTBaseInstanceDescriptor {
public:
							DTLoadingScreenDescriptor();
	virtual					~DTLoadingScreenDescriptor();

	DTString					moLoadingScreen1;
	DTString					moLoadingScreen2;
};

#endif
