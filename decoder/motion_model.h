// What a motion search knows of one region of one camera: a background that
// adapts slowly, and for each sample the noise it shows when nothing moves,
// learnt from the footage itself. A frame is compared after the region's
// overall brightness is fitted away (gain and offset), so that lights switched
// on or a passing cloud do not count; a sample has moved when it stands out of
// that fit by more than its noise allows.
//
// Portable, no Windows header: the decoder control and dvrtool share it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class CMotionModel {
public:
    // sensitivity 1 (only large, clear changes) to 10 (the faintest).
    explicit CMotionModel(int sensitivity);

    // Whether enough frames were learnt for Compare to be trusted.
    bool Warm() const { return m_learnt >= kWarmFrames; }
    size_t Size() const { return m_background.size(); }

    // The share (0..1) of the n samples that moved against the background.
    // A model that learnt nothing yet, or of another size, says 0.
    double Compare(const uint8_t* pSamples, size_t n);
    // Whether a frame of that share is motion.
    bool IsMotion(double share) const;
    // Takes the frame into the background and the noise: quickly while
    // warming up, then slowly. A sample that moved is left out, until it has
    // held still for a few looks: then what it shows is background (something
    // left standing, or what a thing had hidden). The first frame, or one of
    // another size, starts the model again.
    void Learn(const uint8_t* pSamples, size_t n);

    static constexpr int kWarmFrames = 8;

private:
    // Fits the frame to the background (gain and offset): from the better of
    // two starts, then again without the samples that start left far out.
    void Fit(const uint8_t* pSamples, size_t n);
    // Least squares, over every sample or over those the fit so far leaves
    // within their noise; the fit stays as it was with fewer than two of them.
    void FitSquares(const uint8_t* pSamples, size_t n, bool bInliersOnly);
    // The offset alone: the median difference from the background.
    void FitMedian(const uint8_t* pSamples, size_t n);
    size_t Inliers(const uint8_t* pSamples, size_t n) const;
    double Residual(const uint8_t* pSamples, size_t i) const;
    double Threshold(size_t i) const;

    double m_factor;    // of a sample's noise that makes it moved
    double m_floor;     // grey levels a change must pass, however quiet the footage
    double m_minShare;  // of the region's samples that must move
    int m_learnt = 0;
    std::vector<float> m_background;
    std::vector<float> m_noise;     // mean absolute deviation from the fit, per sample
    std::vector<float> m_previous;  // the samples of the frame learnt last
    std::vector<uint8_t> m_still;   // looks a moved sample has held still for
    std::vector<float> m_scratch;   // FitMedian's differences
    double m_gain = 1, m_offset = 0;
};
