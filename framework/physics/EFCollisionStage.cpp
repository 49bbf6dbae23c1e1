#include "framework/physics/EFCollisionStage.h"

#include "framework/physics/EFCollisionReport.h"

u32 EFCollisionStage::ValidateTranslation( const DTVector3d &, DTVector3d &, u32, u32 ) {
	return 0;
}

void EFCollisionStage::InsertNewReport( EFCollisionReport * report ) {
	EFCollisionReport ** link = &mpoNewReports;
	while ( *link != nullptr && ( *link )->mfTime < report->mfTime ) {
		link = &( *link )->mpoNext;
	}
	report->mpoNext = *link;
	*link = report;
	if ( report->mfTime < mfEarliestTime ) {
		mfEarliestTime = report->mfTime;
	}
}
